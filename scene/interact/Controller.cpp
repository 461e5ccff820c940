#include "scene/interact/Controller.h"

#include "platform/win/InputCodes.h"
#include "scene/interact/ViewOffset.h"
#include "scene/nodes/KeyFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool Finite(float a) { return std::isfinite(a); }
bool Finite(float a, float b, float c) { return Finite(a) && Finite(b) && Finite(c); }

} // namespace

CVController::CVController()
    : mReference(new CVViewpoint), mWalker(new CVViewpoint),
      mStrings{L"Width", L"Height", L"Depth", L"facings", L"caps", L"nested", L"rotated {0} degrees", L"gap",
               L"Fill Pattern", L"Section Node"}
{
    for (CVViewpoint* vp : {mReference.get(), mWalker.get()}) {
        vp->orientation.SetValue(0.0f, 0.0f, 1.0f, 0.0f);
        vp->position.SetValue(0.0f, 0.0f, 10.0f);
    }
    Reset();
}

CVController::~CVController()
{
    StopTimer();
    SetRenderArea(nullptr);
}

void CVController::SetRenderArea(CVGLRenderArea* area)
{
    if (mArea && mArea->GetController() == this) {
        mArea->SetController(nullptr);
        mArea->SetControllerValues(nullptr);
    }
    mArea = CVRefPtr<CVGLRenderArea>(area);
    if (area) {
        area->SetController(this);
        area->SetControllerValues(this);
    }
}

void CVController::SetViewportSize(int width, int height)
{
    mWidth = std::max(width, 0);
    mHeight = std::max(height, 0);
}

void CVController::GetViewportSize(int& width, int& height) const
{
    width = mWidth;
    height = mHeight;
}

bool CVController::SetMouseMode(int mode)
{
    if (mode < LumoMouseSelect || mode > LumoMouseTextAnnotation)
        return false;
    if (mMouseMode == LumoMouseWalker && mode != LumoMouseWalker)
        StopTimer();
    mMouseMode = mode;
    return true;
}

bool CVController::SetProjection(int projection)
{
    if (projection < LumoProjectionNone || projection > LumoProjectionBottom)
        return false;
    mProjection = projection;
    return true;
}

void CVController::Invalidate()
{
    if (mHost)
        mHost->Invalidate();
}

// ---- view values ---------------------------------------------------------

bool CVController::SetCameraDistance(float distance)
{
    if (!Finite(distance))
        return false;
    mView.distance = distance;
    return true;
}

bool CVController::SetScale(float scale, int apply)
{
    if (!Finite(scale) || !(scale > 0.0f))
        return false;
    mView.scale = std::max(scale, kMinScale);
    if (apply)
        ApplyScale();
    return true;
}

bool CVController::SetRotation(float rotX, float rotY, float rotZ, int apply)
{
    if (!Finite(rotX, rotY, rotZ))
        return false;
    mView.rotX = rotX;
    mView.rotY = rotY;
    mView.rotZ = rotZ;
    if (apply)
        ApplyRotation();
    return true;
}

bool CVController::SetTranslation(float x, float y, float z, int apply)
{
    if (!Finite(x, y, z))
        return false;
    mView.tx = x;
    mView.ty = y;
    mView.tz = z;
    if (apply)
        ApplyTranslation();
    return true;
}

bool CVController::SetViewValues(const CVViewValues& values, int apply)
{
    if (!values.IsUsable())
        return false;
    mView = values;
    mView.scale = std::max(mView.scale, kMinScale);
    if (apply) {
        ApplyRotation();
        ApplyScale();
        ApplyTranslation();
    }
    return true;
}

bool CVController::SetViewValuesText(const std::wstring& text, std::wstring* error)
{
    CVViewValues values;
    return CVViewValues::FromText(text, values, error) && SetViewValues(values, 1);
}

bool CVController::DoPropExchange(CPropExchange& px)
{
    CVViewValues values = mView;
    if (!values.Exchange(px))
        return false;
    return values == mView || SetViewValues(values, 1);
}

bool CVController::SetDragTranslationScale(float scale)
{
    if (!Finite(scale))
        return false;
    mDragScale = scale;
    return true;
}

void CVController::SetAnimationEnabled(int on)
{
    mAnimationEnabled = on != 0;
    if (!on) {
        mAnimating = false;
        StopTimer();
    }
}

bool CVController::SetLocalizedStrings(const std::vector<std::wstring>& strings)
{
    if (strings.size() != std::size_t(kLocalizedStringCount))
        return false;
    std::copy(strings.begin(), strings.end(), mStrings);
    return true;
}

void CVController::ApplyRotation()
{
    if (!mTop)
        return;
    CVQuaternion q;
    q.ConvertXYZtoQuaternion(mView.rotY, mView.rotX, mView.rotZ, eRotateXYZ);
    Point3fStruct axis;
    float angle = 0.0f;
    q.Get(axis, angle);
    if ((mView.rotX == 0.0f && mView.rotY == 0.0f && mView.rotZ == 0.0f) || angle == 0.0f)
        mTop->rotation.SetValue(1.0f, 0.0f, 0.0f, 0.0f);
    else
        mTop->rotation.SetValue(axis, angle);
}

void CVController::ApplyScale()
{
    if (mTop)
        mTop->scale.SetValue(mView.scale, mView.scale, mView.scale);
}

void CVController::ApplyTranslation()
{
    if (!mTop)
        return;
    // The centre undoes the translation, so rotation and scale turn the
    // scene about its own origin wherever it was moved.
    mTop->translation.SetValue(mView.tx, mView.ty, mView.tz);
    mTop->center.SetValue(-mView.tx, -mView.ty, -mView.tz);
}

void CVController::SetTopLevelTransformNode(CVTransform* transform)
{
    if (transform != mTop.get()) {
        bool hadScene = bool(mTop);
        if (hadScene) {
            CVRefPtr<CVDirectionalLight> light = mLight;
            ReleaseScene();
            mLight = light;
        }
        mTop = CVRefPtr<CVTransform>(transform);
        if (transform && hadScene)
            ReselectScene(transform);
    }
    ApplyRotation();
    ApplyScale();
    ApplyTranslation();
}

void CVController::Reset()
{
    float rx = 0.0f, ry = 0.0f;
    switch (mProjection) {
    case LumoProjectionLeft: rx = 90.0f; break;
    case LumoProjectionRight: rx = -90.0f; break;
    case LumoProjectionTop: ry = 90.0f; break;
    case LumoProjectionBottom: ry = -90.0f; break;
    default: break;
    }
    SetRotation(rx, ry, 0.0f, 1);
    SetScale(1.0f, 1);
    SetTranslation(0.0f, 0.0f, 0.0f, 1);
    SetViewpoint({0.0f, 0.0f, mView.distance}, {0.0f, 0.0f, 1.0f}, 0.0f);
}

// ---- navigation steps ----------------------------------------------------

void CVController::OnRotate(int dx, int dy)
{
    if (!mTop || (mProjection != LumoProjectionNone && mProjection != LumoProjectionPerspective))
        return;
    // Degrees per pixel: a sixth across, an eighth up and down.
    SetRotation(mView.rotX - float(dx) / 6.0f, mView.rotY - float(dy) / 8.0f, 0.0f, 1);
    Invalidate();
}

void CVController::OnScale(float d)
{
    if (!mTop || !Finite(d))
        return;
    float s = mView.scale, c;
    if (d <= -180.0f)
        c = s * 180.0f / 256.0f;
    else if (d < 0.0f)
        c = s * -d / 256.0f;
    else
        c = s * -d / 240.0f;
    float next = std::max(s - c, kMinScale);
    if (!Finite(next))
        return;
    mView.scale = next;
    ApplyScale();
    Invalidate();
}

void CVController::OnTranslate(float dx, float dy)
{
    // Pixels per world unit: a window height is 0.3 units at scale 1.
    float k = float(mHeight) * 0.3f * mView.scale;
    if (!mTop || !(k > 0.0f) || !Finite(dx) || !Finite(dy))
        return;
    float h = dx / k, v = dy / k;
    float x = mView.tx - h, y = mView.ty + v, z = 0.0f;
    switch (mProjection) {
    case LumoProjectionPerspective:
        if (mView.rotX != 0.0f || mView.rotY != 0.0f) {
            Point3fStruct off = lumo::CalcOffsetForRotation(mView.rotX, mView.rotY, -h, -v);
            x = mView.tx + off.x;
            y = mView.ty + off.y;
            z = mView.tz + off.z;
        }
        break;
    case LumoProjectionLeft: x = 0.0f; z = mView.tz - h; break;
    case LumoProjectionRight: x = 0.0f; z = mView.tz + h; break;
    case LumoProjectionTop: y = 0.0f; z = mView.tz - v; break;
    case LumoProjectionBottom: y = 0.0f; z = mView.tz + v; break;
    default: break;
    }
    if (SetTranslation(x, y, z, 1))
        Invalidate();
}

void CVController::OnLightPosition(int dx, int dy)
{
    if (!mLight)
        return;
    Point3fStruct d = mLight->direction.GetValue();
    // A window side of 0 gives that axis no move rather than a division by 0.
    if (mWidth > 0)
        d.x = std::clamp(d.x + 3.0f * float(dx) / float(mWidth), -2.0f, 2.0f);
    if (mHeight > 0)
        d.y = std::clamp(d.y - 3.0f * float(dy) / float(mHeight), -2.0f, 2.0f);
    mLight->direction.SetValue(d);
    Invalidate();
}

bool CVController::ZoomToRectangle(POINT a, POINT b)
{
    long rw = std::labs(long(b.x) - long(a.x)), rh = std::labs(long(b.y) - long(a.y));
    if (!mTop || rw < 1 || rh < 1 || mWidth <= 0 || mHeight <= 0)
        return false;
    float cx = (float(a.x) + float(b.x)) / 2.0f, cy = (float(a.y) + float(b.y)) / 2.0f;
    // Drag the rectangle's centre to the window's centre, then enlarge.
    OnTranslate(cx - float(mWidth) / 2.0f, cy - float(mHeight) / 2.0f);
    float f = std::min(float(mWidth) / float(rw), float(mHeight) / float(rh));
    SetScale(mView.scale * f, 1);
    Invalidate();
    return true;
}

bool CVController::GetZoomRectangle(RECT& rect) const
{
    if (!mZoomRect)
        return false;
    rect.left = std::min(mPress.x, mLast.x);
    rect.right = std::max(mPress.x, mLast.x);
    rect.top = std::min(mPress.y, mLast.y);
    rect.bottom = std::max(mPress.y, mLast.y);
    return true;
}

bool CVController::IsSelectHotKeyPressed() const { return IsKeyDown(VK_MENU); }

bool CVController::IsAnyHotKeyPressed() const
{
    return IsKeyDown(VK_SPACE) || IsKeyDown('M') || IsKeyDown('R') || IsKeyDown('L') || IsKeyDown(VK_MENU);
}

// ---- input ---------------------------------------------------------------

void CVController::OnLButtonDown(unsigned flags, POINT point)
{
    mLeftDown = true;
    mPress = mLast = point;
    if (mMouseMode == LumoMouseWalker) {
        WalkerButtonDown(point, false, (flags & MK_SHIFT) != 0);
        return;
    }
    mZoomRect = mMouseMode == LumoMouseZoomRect;
}

void CVController::OnLButtonUp(unsigned flags, POINT point)
{
    mLeftDown = false;
    if (mMouseMode == LumoMouseWalker) {
        WalkerButtonUp();
        return;
    }
    if (mDragging)
        OnDropNode(flags, point);
    if (mZoomRect) {
        mZoomRect = false;
        ZoomToRectangle(mPress, point);
    }
    mLast = point;
}

void CVController::OnRButtonDown(unsigned flags, POINT point)
{
    mRightDown = true;
    if (mMouseMode == LumoMouseWalker)
        WalkerButtonDown(point, true, (flags & MK_SHIFT) != 0);
}

void CVController::OnRButtonUp(unsigned, POINT)
{
    mRightDown = false;
    if (mMouseMode == LumoMouseWalker)
        WalkerButtonUp();
}

void CVController::OnMouseMove(unsigned flags, POINT point)
{
    if (mMouseMode == LumoMouseWalker) {
        if (!(flags & (MK_LBUTTON | MK_RBUTTON)))
            return;
        mWalkDx = point.x - mPress.x;
        if ((flags & MK_RBUTTON) && (flags & MK_SHIFT)) {
            mWalkDy = 0;
            mVerticalVelocity = -0.0003f * float(point.y - mPress.y);
        } else {
            mWalkDy = point.y - mPress.y;
        }
        return;
    }
    if (!(flags & MK_LBUTTON)) {
        mLast = point;
        return;
    }
    if (mDragEnabled) {
        OnDragNode(flags, point);
        mLast = point;
        return;
    }
    int dx = mLast.x - point.x, dy = mLast.y - point.y;
    if (mZoomRect) {
        // The host draws the rubber band from GetZoomRectangle.
    } else if (IsKeyDown('L')) {
        OnLightPosition(dx, dy);
    } else if (IsKeyDown('R')) {
        OnRotate(dx, dy);
    } else if (IsKeyDown(VK_SPACE)) {
        OnTranslate(float(dx), float(dy));
    } else if (IsKeyDown('M')) {
        OnScale(float(dy));
    } else {
        switch (mMouseMode) {
        case LumoMouseRotate: OnRotate(dx, dy); break;
        case LumoMouseZoom: OnScale(float(dy)); break;
        case LumoMousePan: OnTranslate(float(dx), float(dy)); break;
        case LumoMouseLight: OnLightPosition(dx, dy); break;
        default: break;
        }
    }
    mLast = point;
}

void CVController::OnMouseWheel(unsigned flags, short delta, POINT)
{
    float d = float(delta);
    bool ctrl = (flags & MK_CONTROL) != 0, shift = (flags & MK_SHIFT) != 0;
    if (mMouseMode != LumoMouseWalker) {
        if (ctrl && shift)
            OnTranslate(0.0f, d * mView.scale * 0.15f);
        else if (shift)
            OnTranslate(-d * mView.scale * 0.2f, 0.0f);
        else
            OnScale(d * 0.2f);
        return;
    }
    // One walker step, leaving no motion behind.
    if (shift)
        mSidewaysVelocity = d * 0.001f;
    else if (ctrl)
        mVerticalVelocity = d * 0.001f;
    else
        mWalkDy = -2 * int(delta);
    UpdateCameraPosition();
    mSidewaysVelocity = mVerticalVelocity = 0.0f;
    mWalkDy = 0;
}

void CVController::OnTimer(unsigned id)
{
    if (id != kTimerId)
        return;
    if (mAnimating)
        AnimateViewpoint(mArea.get(), 0);
    else if (mMouseMode == LumoMouseWalker && mTimerCount > 0)
        UpdateCameraPosition();
}

void CVController::StartTimer()
{
    // Nested starts share one timer.
    if (mTimerCount++ == 0 && mHost)
        mHost->SetTimer(kTimerId, kTimerInterval);
}

void CVController::StopTimer()
{
    if (mTimerCount == 0)
        return;
    mTimerCount = 0;
    if (mHost)
        mHost->KillTimer(kTimerId);
}
