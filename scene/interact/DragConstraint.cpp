#include "scene/interact/DragConstraint.h"

#include <cmath>

Point3fStruct CVDragConstraint::Constrain(const SelectedNodeInfoStruct&, const Point3fStruct&,
                                          const Point3fStruct& proposed) const
{
    return proposed;
}

CVAxisDragConstraint::CVAxisDragConstraint(const Point3fStruct& d)
{
    double len = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
    if (std::isfinite(len) && len > 0.0)
        mUnit = {float(d.x / len), float(d.y / len), float(d.z / len)};
}

Point3fStruct CVAxisDragConstraint::Constrain(const SelectedNodeInfoStruct&, const Point3fStruct& s,
                                              const Point3fStruct& p) const
{
    float along = (p.x - s.x) * mUnit.x + (p.y - s.y) * mUnit.y + (p.z - s.z) * mUnit.z;
    return {s.x + along * mUnit.x, s.y + along * mUnit.y, s.z + along * mUnit.z};
}
