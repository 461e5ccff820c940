#include "scene/interact/SelectionRecords.h"

namespace lumo {

CVHeldPath HoldPath(const CVNodePath& path)
{
    CVHeldPath held;
    held.reserve(path.size());
    for (CVNode* node : path)
        held.emplace_back(node);
    return held;
}

CVNodePath PlainPath(const CVHeldPath& path)
{
    CVNodePath plain;
    plain.reserve(path.size());
    for (const CVRefPtr<CVNode>& node : path)
        plain.push_back(node.get());
    return plain;
}

} // namespace lumo
