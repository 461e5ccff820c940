#include "scene/interact/ShelfDragConstraint.h"

#include "scene/interact/Controller.h"
#include "scene/nodes/SPProduct.h"
#include "scene/nodes/SPSubfixture.h"
#include "scene/nodes/Transform.h"

#include <algorithm>
#include <cmath>

CVSPSubfixture* CVShelfDragConstraint::FindSubfixture(const SelectedNodeInfoStruct& record)
{
    const CVNodePath path = record.GetPath();
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        CVNode* node = *it;
        if (!node || node == record.transform.get() || !node->IsKindOf<CVTransform>())
            continue;
        // The nearest enclosing transform decides: a subfixture's, or none.
        CVNode* g = CVController::GetSPGeometryNode(static_cast<CVTransform*>(node));
        return g && g->IsKindOf<CVSPSubfixture>() ? static_cast<CVSPSubfixture*>(g) : nullptr;
    }
    return nullptr;
}

Point3fStruct CVShelfDragConstraint::Constrain(const SelectedNodeInfoStruct& record, const Point3fStruct& atStart,
                                               const Point3fStruct& proposed) const
{
    CVNode* product = record.transform ? CVController::GetSPProductNode(record.transform.get()) : nullptr;
    CVSPSubfixture* sub = product ? FindSubfixture(record) : nullptr;
    if (!sub)
        return proposed;
    // Along the subfixture's width only, with the product's block inside
    // it; a product already past an end may come back but not go further.
    CVBox3f block;
    static_cast<CVSPProduct*>(product)->ComputeBoundingBox(nullptr, nullptr, &block);
    const float width = std::fabs(sub->size.GetValue().x);
    const float blockWidth = block.IsEmpty() ? 0.0f : block.GetSize().x;
    const float half = std::max(0.0f, (width - blockWidth) / 2.0f);
    const float centre = block.IsEmpty() ? 0.0f : block.GetCenter().x;
    const float low = std::min(-half - centre, atStart.x), high = std::max(half - centre, atStart.x);
    float x = std::isfinite(proposed.x) ? proposed.x : atStart.x;
    x = std::clamp(x, low, high);
    return {x, atStart.y, atStart.z};
}
