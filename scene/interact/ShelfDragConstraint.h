// The controller's rule for shelf plans: a product placed on a subfixture
// (its transform inside the subfixture's transform, directly or through
// groups) slides only along the subfixture's width and stays on it; every
// other object moves freely.
#pragma once

#include "scene/interact/DragConstraint.h"

class CVSPSubfixture;

class CVShelfDragConstraint : public CVDragConstraint {
public:
    Point3fStruct Constrain(const SelectedNodeInfoStruct& record, const Point3fStruct& atStart,
                            const Point3fStruct& proposed) const override;
    // The subfixture the record's product stands on, or null.
    static CVSPSubfixture* FindSubfixture(const SelectedNodeInfoStruct& record);
};
