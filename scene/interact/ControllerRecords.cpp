// The controller's lists of scene nodes: selections, drill-down steps and
// cross sections, and how they let go of a scene and find their nodes again.
#include "scene/interact/Controller.h"

#include "scene/interact/PlanogramFields.h"
#include "scene/nodes/Shape.h"

#include <stdexcept>

namespace pg = lumo::planogram;

namespace {

CVNode* FindGeometry(const CVTransform* transform, const char* className)
{
    if (!transform)
        return nullptr;
    for (CVChild* child : transform->children.GetNodes()) {
        if (!child || !child->IsKindOf<CVShape>())
            continue;
        CVNode* geometry = static_cast<CVShape*>(child)->geometry.GetValue();
        if (geometry && geometry->IsKindOfClassNamed(className))
            return geometry;
    }
    return nullptr;
}

// The planogram node a record reads its size and id from: a planogram
// geometry, or else an annotation.
CVNode* RecordGeometry(const CVTransform* transform)
{
    CVNode* g = CVController::GetSPGeometryNode(transform);
    return g ? g : CVController::GetSPAnnotationNode(transform);
}

// The key of the record's transform: its place below the top-level transform
// when that is on the path, else its name alone.
CVNodeKey KeyOf(const CVNodePath& path, const CVNode* node, const CVNode* top)
{
    std::size_t target = path.size(), anchor = path.size();
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == node)
            target = i;
        if (path[i] == top && anchor == path.size())
            anchor = i;
    }
    if (target == path.size()) {
        CVNodePath alone{const_cast<CVNode*>(node)};
        CVNodeKey key = lumo::MakeNodeKey(alone, 1, 0); // name only
        key.valid = !key.name.empty();
        return key;
    }
    if (anchor > target) {
        CVNodeKey key = lumo::MakeNodeKey(path, target + 1, target);
        key.valid = !key.name.empty();
        return key;
    }
    return lumo::MakeNodeKey(path, anchor, target);
}

CVNodeKey NameKey(const CVNode* node)
{
    CVNodeKey key;
    if (node && node->GetName()) {
        key.name = *node->GetName();
        key.valid = true;
    }
    return key;
}

template <class T>
bool Resolve(CVNode* root, const CVNodeKey& key, CVRefPtr<T>& out, CVNodePath* pathOut = nullptr)
{
    CVNodePath path = lumo::ResolveNodeKey(root, key);
    if (path.empty() || !path.back()->IsKindOf<T>())
        return false;
    out = CVRefPtr<T>(static_cast<T*>(path.back()));
    if (pathOut)
        *pathOut = path;
    return true;
}

void ReleaseRecord(SelectedNodeInfoStruct& r, const CVNode* top)
{
    if (!r.transform)
        return;
    r.key = KeyOf(r.GetPath(), r.transform.get(), top);
    r.transform = {};
    r.path.clear();
}

bool ReselectRecord(SelectedNodeInfoStruct& r, CVNode* root)
{
    if (r.transform)
        return true;
    CVNodePath path;
    if (!Resolve(root, r.key, r.transform, &path))
        return false;
    r.path = lumo::HoldPath(path);
    r.key = {};
    return true;
}

} // namespace

CVNode* CVController::GetSPGeometryNode(const CVTransform* t) { return FindGeometry(t, "CVSPGeometry"); }
CVNode* CVController::GetSPProductNode(const CVTransform* t) { return FindGeometry(t, "CVSPProduct"); }
CVNode* CVController::GetSPAnnotationNode(const CVTransform* t) { return FindGeometry(t, "CVSPAnnotation"); }

// ---- selection -----------------------------------------------------------

void CVController::AddSelectNode(POINT point, CVTransform* transform, const CVNodePath& path)
{
    if (!transform)
        return;
    mPress = point;
    mSelections.emplace_back();
    UpdateSelectNode(int(mSelections.size()) - 1, transform, path);
}

void CVController::UpdateSelectNode(int index, CVTransform* transform, const CVNodePath& path)
{
    if (!transform || index < 0 || index >= int(mSelections.size()))
        return;
    SelectedNodeInfoStruct& r = mSelections[std::size_t(index)];
    r = SelectedNodeInfoStruct();
    r.transform = CVRefPtr<CVTransform>(transform);
    r.path = lumo::HoldPath(path);
    SaveBase(r);
    r.id = pg::Id(RecordGeometry(transform));
}

int CVController::RemoveSelectNode(CVTransform* transform)
{
    for (auto it = mSelections.begin(); it != mSelections.end(); ++it)
        if (transform && it->transform.get() == transform) {
            mSelections.erase(it);
            return 1;
        }
    return 0;
}

bool CVController::IsSelected(const CVTransform* transform) const
{
    if (!transform)
        return false;
    for (const SelectedNodeInfoStruct& r : mSelections)
        if (r.transform.get() == transform)
            return true;
    return false;
}

bool CVController::IsGeometrySelected(const CVNode* geometry) const
{
    if (!geometry)
        return false;
    for (const SelectedNodeInfoStruct& r : mSelections)
        if (r.transform && RecordGeometry(r.transform.get()) == geometry)
            return true;
    return false;
}

CVTransform* CVController::GetSelectedNode(int index) const
{
    if (index < 0 || index >= int(mSelections.size()))
        return nullptr;
    return mSelections[std::size_t(index)].transform.get();
}

const SelectedNodeInfoStruct& CVController::GetSelectionInfo(int index) const
{
    if (index < 0 || index >= int(mSelections.size()))
        throw std::out_of_range("selection index outside the list");
    return mSelections[std::size_t(index)];
}

// ---- drill-down ----------------------------------------------------------

DrillDownInfoStruct CVController::PopDrillDown()
{
    if (mDrill.empty())
        return {};
    DrillDownInfoStruct top = mDrill.back();
    mDrill.pop_back();
    return top;
}

DrillDownInfoStruct CVController::GetDrillDownInfo(int index) const
{
    if (index < 0 || index >= int(mDrill.size()))
        return {};
    return mDrill[std::size_t(index)];
}

// ---- cross sections ------------------------------------------------------

bool CVController::AddCrossSectionNode(CVTransform* transform, CVNode* geometry, CVNode* fixture,
                                       const CVNodePath& path)
{
    std::wstring id = pg::Id(geometry);
    if (!transform || id.empty())
        return false;
    CrossViewNodeInfoStruct r;
    r.transform = CVRefPtr<CVTransform>(transform);
    r.geometry = CVRefPtr<CVNode>(geometry);
    r.fixture = CVRefPtr<CVNode>(fixture);
    r.id = id;
    r.path = lumo::HoldPath(path);
    mCross.push_back(std::move(r));
    return true;
}

const CrossViewNodeInfoStruct& CVController::GetCrossSectionNode(int index) const
{
    if (index < 0 || index >= int(mCross.size()))
        throw std::out_of_range("cross-section index outside the list");
    return mCross[std::size_t(index)];
}

bool CVController::IsNodeInCrossSection(const CVNode* geometry) const
{
    std::wstring id = pg::Id(const_cast<CVNode*>(geometry));
    if (id.empty())
        return false;
    for (const CrossViewNodeInfoStruct& r : mCross)
        if (r.id == id)
            return true;
    return false;
}

// ---- letting go of a scene -----------------------------------------------

void CVController::ReleaseScene()
{
    const CVNode* top = mTop.get();
    for (SelectedNodeInfoStruct& r : mSelections)
        ReleaseRecord(r, top);
    for (SelectedNodeInfoStruct& r : mUndo)
        ReleaseRecord(r, top);
    for (DrillDownInfoStruct& d : mDrill) {
        if (d.node)
            d.nodeKey = NameKey(d.node.get());
        if (d.target)
            d.targetKey = NameKey(d.target.get());
        d.node = {};
        d.target = {};
    }
    for (CrossViewNodeInfoStruct& c : mCross) {
        if (!c.transform)
            continue;
        CVNodePath path = c.GetPath();
        c.key = KeyOf(path, c.transform.get(), top);
        if (c.fixture)
            c.fixtureKey = KeyOf(path, c.fixture.get(), top);
        c.transform = {};
        c.geometry = {};
        c.fixture = {};
        c.path.clear();
    }
    mDragEnabled = mDragging = false;
    mNewBase = true;
    mTop = {};
    mLight = {};
}

int CVController::ReselectScene(CVNode* root)
{
    auto reselect = [root](std::vector<SelectedNodeInfoStruct>& list) {
        int restored = 0;
        for (auto it = list.begin(); it != list.end();) {
            bool pending = !it->transform;
            if (ReselectRecord(*it, root)) {
                restored += pending;
                ++it;
            } else {
                it = list.erase(it);
            }
        }
        return restored;
    };
    int restored = reselect(mSelections);
    reselect(mUndo);
    for (DrillDownInfoStruct& d : mDrill) {
        if (!d.node && d.nodeKey.valid)
            Resolve(root, d.nodeKey, d.node);
        if (!d.target && d.targetKey.valid)
            Resolve(root, d.targetKey, d.target);
    }
    for (auto it = mCross.begin(); it != mCross.end();) {
        if (it->transform) {
            ++it;
            continue;
        }
        CVNodePath path;
        if (!Resolve(root, it->key, it->transform, &path)) {
            it = mCross.erase(it);
            continue;
        }
        it->path = lumo::HoldPath(path);
        it->geometry = CVRefPtr<CVNode>(GetSPGeometryNode(it->transform.get()));
        if (it->fixtureKey.valid)
            Resolve(root, it->fixtureKey, it->fixture);
        ++it;
    }
    return restored;
}

bool CVController::IsDraggedGeometry(const CVNode* geometry) const
{
    if (!mDragging || !geometry)
        return false;
    for (const SelectedNodeInfoStruct& r : mSelections)
        if (r.transform && GetSPGeometryNode(r.transform.get()) == geometry)
            return true;
    return false;
}
