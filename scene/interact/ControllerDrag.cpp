// Dragging the selected objects: each drag step is measured from a base
// point; a translation step that starts a new base snapshots every selection
// on the undo stack. Rotation keys (X, C, Z) turn, S scales, anything else
// moves each selected transform along the screen's directions turned into
// world directions (ViewOffset.h), through the drag constraint when one is
// set. Shelf-plan geometry found under a transform (PlanogramFields.h) is
// sized, turned and, for arrows, has its ends moved instead.
#include "scene/interact/Controller.h"

#include "scene/interact/PlanogramFields.h"
#include "scene/interact/ViewOffset.h"

#include <algorithm>
#include <cmath>

namespace pg = lumo::planogram;

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

CVNode* RecordGeometry(const CVTransform* transform)
{
    CVNode* g = CVController::GetSPGeometryNode(transform);
    return g ? g : CVController::GetSPAnnotationNode(transform);
}

bool Finite3(const Point3fStruct& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

bool SameState(const SelectedNodeInfoStruct& a, const SelectedNodeInfoStruct& b)
{
    auto eq = [](const Point3fStruct& p, const Point3fStruct& q) { return p.x == q.x && p.y == q.y && p.z == q.z; };
    return a.transform.get() == b.transform.get() && eq(a.translation, b.translation) && eq(a.size, b.size) &&
           eq(a.start, b.start) && eq(a.end, b.end) && eq(a.faceRotation, b.faceRotation) &&
           a.rotation == b.rotation;
}

} // namespace

void CVController::SaveBase(SelectedNodeInfoStruct& r) const
{
    CVTransform* t = r.transform.get();
    if (!t)
        return;
    r.translation = t->translation.GetValue();
    r.rotation = t->rotation.GetValue();
    CVNode* g = RecordGeometry(t);
    CVSFVec3f* size = pg::Vec3(g, L"size");
    r.hasGeometry = size != nullptr;
    r.size = size ? size->GetValue() : t->scale.GetValue();
    CVSFVec3f* face = pg::IsProduct(g) ? pg::Vec3(g, L"faceRotation") : nullptr;
    r.faceRotation = face ? face->GetValue() : Point3fStruct{0.0f, 0.0f, 0.0f};
    CVSFVec3f* start = pg::IsAnnotation(g) ? pg::Vec3(g, L"start") : nullptr;
    CVSFVec3f* end = pg::IsAnnotation(g) ? pg::Vec3(g, L"end") : nullptr;
    r.start = start ? start->GetValue() : Point3fStruct{0.0f, 0.0f, 0.0f};
    r.end = end ? end->GetValue() : Point3fStruct{0.0f, 0.0f, 0.0f};
}

void CVController::Restore(const SelectedNodeInfoStruct& r) const
{
    CVTransform* t = r.transform.get();
    if (!t)
        return;
    t->translation.SetValue(r.translation);
    t->rotation.SetValue(r.rotation);
    CVNode* g = RecordGeometry(t);
    CVSFVec3f* size = pg::Vec3(g, L"size");
    if (r.hasGeometry && size)
        size->SetValue(r.size);
    else if (!r.hasGeometry)
        t->scale.SetValue(r.size);
    if (CVSFVec3f* face = pg::IsProduct(g) ? pg::Vec3(g, L"faceRotation") : nullptr)
        face->SetValue(r.faceRotation);
    if (pg::IsAnnotation(g)) {
        if (CVSFVec3f* start = pg::Vec3(g, L"start"))
            start->SetValue(r.start);
        if (CVSFVec3f* end = pg::Vec3(g, L"end"))
            end->SetValue(r.end);
    }
}

void CVController::PushUndo(const SelectedNodeInfoStruct& r)
{
    if (!r.transform)
        return;
    mUndo.push_back(r);
    if (mUndo.size() > kMaxUndoSnapshots)
        mUndo.erase(mUndo.begin());
}

void CVController::OnEnableDrag(unsigned, POINT point, int enable, int startPoint, int endPoint)
{
    mPress = point;
    mDragEnabled = enable != 0;
    mDragStart = startPoint != 0;
    mDragEnd = endPoint != 0;
    mNewBase = true;
}

int CVController::OnDragNode(unsigned, POINT point)
{
    if (!mDragEnabled || mSelections.empty())
        return 0;
    mDragging = true;
    int dx = point.x - mPress.x, dy = point.y - mPress.y;
    bool x = IsKeyDown('X'), c = IsKeyDown('C'), z = IsKeyDown('Z');
    if (x || c || z) {
        DragRotate(dx, dy, x, c, z);
        mNewBase = true;
    } else if (IsKeyDown('S')) {
        DragScale(dy);
    } else {
        if (mNewBase) {
            mPress = point;
            dx = dy = 0;
            for (SelectedNodeInfoStruct& r : mSelections) {
                SelectedNodeInfoStruct now = r;
                SaveBase(now);
                PushUndo(now);
                r = now;
            }
            mNewBase = false;
        }
        DragTranslate(dx, dy);
    }
    Invalidate();
    return 1;
}

void CVController::DragRotate(int dx, int dy, bool x, bool c, bool z)
{
    float perPixel = 0.005f / mView.scale; // radians
    float ax = (x ? float(dy) : 0.0f) * perPixel / kRadiansPerDegree;
    float ay = (c ? float(dx) : 0.0f) * perPixel / kRadiansPerDegree;
    float az = (z ? float(-dx) : 0.0f) * perPixel / kRadiansPerDegree;
    for (const SelectedNodeInfoStruct& r : mSelections) {
        CVTransform* t = r.transform.get();
        if (!t)
            continue;
        CVNode* g = RecordGeometry(t);
        if (CVSFVec3f* face = pg::IsProduct(g) ? pg::Vec3(g, L"faceRotation") : nullptr) {
            Point3fStruct f{r.faceRotation.x + ax, r.faceRotation.y + ay, r.faceRotation.z + az};
            if (Finite3(f))
                face->SetValue(f);
            continue;
        }
        // The turn since the base, in degrees about x, y and z, after the
        // rotation saved at the base (kept in radians, as fields hold it).
        CVQuaternion saved;
        double len = std::sqrt(double(r.rotation.x) * r.rotation.x + double(r.rotation.y) * r.rotation.y +
                               double(r.rotation.z) * r.rotation.z);
        if (len > 0.0 && std::isfinite(len))
            saved.Set(CVVector(float(r.rotation.x / len), float(r.rotation.y / len), float(r.rotation.z / len)),
                      r.rotation.angle);
        CVQuaternion turn;
        turn.ConvertXYZtoQuaternion(ax, ay, az, eRotateXYZ);
        CVQuaternion q = saved * turn;
        Point3fStruct axis;
        float angle = 0.0f;
        q.Normalize().Get(axis, angle);
        if (!Finite3(axis) || !std::isfinite(angle))
            continue;
        if (angle == 0.0f)
            t->rotation.SetValue(1.0f, 0.0f, 0.0f, 0.0f);
        else
            t->rotation.SetValue(axis, angle);
    }
}

void CVController::DragScale(int dy)
{
    // Never down to 0: a zero size cannot be seen, picked or scaled back.
    float f = std::max(0.01f, 1.0f - (mDragScale / mView.scale) * float(dy));
    if (!std::isfinite(f))
        return;
    for (const SelectedNodeInfoStruct& r : mSelections) {
        CVTransform* t = r.transform.get();
        if (!t)
            continue;
        Point3fStruct s{r.size.x * f, r.size.y * f, r.size.z * f};
        if (!Finite3(s))
            continue;
        CVSFVec3f* size = pg::Vec3(RecordGeometry(t), L"size");
        if (r.hasGeometry && size)
            size->SetValue(s);
        else if (!r.hasGeometry)
            t->scale.SetValue(s);
    }
}

void CVController::DragTranslate(int dx, int dy)
{
    float k = mDragScale / mView.scale;
    for (const SelectedNodeInfoStruct& r : mSelections) {
        CVTransform* t = r.transform.get();
        if (!t)
            continue;
        CVNode* g = RecordGeometry(t);
        if (pg::IsArrow(g)) {
            Point3fStruct off = lumo::CalcOffsetForRotation(mView.rotX, mView.rotY, float(dx) * k, float(dy) * k);
            CVSFVec3f* start = pg::Vec3(g, L"start");
            CVSFVec3f* end = pg::Vec3(g, L"end");
            if (start && mDragStart)
                start->SetValue(r.start.x + off.x, r.start.y + off.y, r.start.z);
            if (end && mDragEnd)
                end->SetValue(r.end.x + off.x, r.end.y + off.y, r.end.z);
            continue;
        }
        // Transforms between the scene's frame and the object turn the
        // screen's directions further: their turns about x and y add to the
        // view's angles (from the fourth-last path entry back to the fourth).
        CVNodePath path = r.GetPath();
        float extraX = 0.0f, extraY = 0.0f;
        for (long i = long(path.size()) - 4; i >= 3; --i) {
            CVNode* n = path[std::size_t(i)];
            if (!n || !n->IsKindOf<CVTransform>())
                continue;
            const CVRotation& rot = static_cast<CVTransform*>(n)->rotation.GetValue();
            extraY += rot.x * rot.angle;
            extraX += rot.y * rot.angle;
        }
        extraX /= kRadiansPerDegree;
        extraY /= kRadiansPerDegree;
        Point3fStruct off = lumo::CalcOffsetForRotation(mView.rotX + extraX, mView.rotY + extraY, float(dx) * k,
                                                        float(dy) * k);
        Point3fStruct proposed{r.translation.x + off.x, r.translation.y + off.y, r.translation.z + off.z};
        Point3fStruct next = mConstraint ? mConstraint->Constrain(r, r.translation, proposed) : proposed;
        if (Finite3(next))
            t->translation.SetValue(next);
    }
}

int CVController::OnDropNode(unsigned, POINT point)
{
    mPress = point;
    if (!mSelections.empty()) {
        for (SelectedNodeInfoStruct& r : mSelections) {
            // The state at the base; a snapshot equal to the last one adds
            // nothing to undo.
            if (mUndo.empty() || !SameState(mUndo.back(), r))
                PushUndo(r);
            SaveBase(r);
        }
    }
    mDragEnabled = mDragging = false;
    mNewBase = true;
    return 0;
}

int CVController::UndoDragDrop()
{
    // A snapshot of a released scene waits for its scene to come back.
    if (mUndo.empty() || !mUndo.back().transform)
        return 0;
    SelectedNodeInfoStruct snapshot = mUndo.back();
    mUndo.pop_back();
    Restore(snapshot);
    mSelections.clear();
    mSelections.push_back(snapshot);
    Invalidate();
    return 1;
}

void CVController::TerminateDragDrop()
{
    if (!mDragging)
        return;
    // Back to the state at the start of the drag step (the saved base), as
    // dropping and undoing that drop would leave it.
    for (const SelectedNodeInfoStruct& r : mSelections)
        Restore(r);
    mPress = mLast;
    mDragEnabled = mDragging = false;
    mNewBase = true;
    mSelections.clear();
    Invalidate();
}
