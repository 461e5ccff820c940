// The walking camera: mouse offsets from the press point (or arrow keys) turn
// and move the walker viewpoint on each 30 ms tick; and the viewpoints and
// their key-frame animation.
#include "scene/interact/Controller.h"

#include "platform/time/Clock.h"
#include "platform/win/InputCodes.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/KeyFrame.h"
#include "scene/nodes/KeyFrameAnimation.h"

#include <algorithm>
#include <cmath>

namespace {

// The axis (normalised) and angle of a rotation as a unit quaternion; the
// identity for a zero axis.
CVQuaternion ToQuaternion(const CVRotation& r)
{
    double len = std::sqrt(double(r.x) * r.x + double(r.y) * r.y + double(r.z) * r.z);
    CVQuaternion q;
    if (!(len > 0.0) || !std::isfinite(len) || !std::isfinite(r.angle))
        return q;
    q.Set(CVVector(float(r.x / len), float(r.y / len), float(r.z / len)), r.angle);
    return q;
}

// v turned by q (q v q*; a quaternion that is not unit also scales).
CVVector Turn(const CVQuaternion& q, const CVVector& v)
{
    CVQuaternion p(v.x, v.y, v.z, 0.0f);
    CVQuaternion conj = q;
    conj.Conjugate();
    CVQuaternion r = q * p * conj;
    return CVVector(r.x, r.y, r.z);
}

// Turns q about one of its own axes by a plane rotation of the scalar and
// that axis's component pair: q x (axis sin a, cos a).
CVQuaternion RotateQuaternion(const CVQuaternion& q, int axis, float a)
{
    CVQuaternion r(0.0f, 0.0f, 0.0f, std::cos(a));
    (axis == 0 ? r.x : axis == 1 ? r.y : r.z) = std::sin(a);
    return q * r;
}

bool Finite3(const Point3fStruct& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

} // namespace

void CVController::WalkerButtonDown(POINT point, bool right, bool shift)
{
    if (mHost)
        mHost->SetCapture();
    mPress = point;
    mWalkDx = mWalkDy = 0;
    mVerticalVelocity = mSidewaysVelocity = 0.0f;
    mLookMode = right && !shift;
    if (!IsKeyDown('D'))
        StartTimer();
}

void CVController::WalkerButtonUp()
{
    if (mHost)
        mHost->ReleaseCapture();
    mWalkDx = mWalkDy = 0;
    mVerticalVelocity = mSidewaysVelocity = 0.0f;
    mLookMode = false;
    StopTimer();
}

void CVController::InitCameraInfo(int width, int height)
{
    mYaw = mPitch = 0.0f;
    SetViewportSize(width, height);
    mBase = mWalker->position.GetValue();
    // 0.6 pi of turn per window width; no turn for a window of width 0.
    mTurnGain = mWidth > 0 ? 1.8849558f / float(mWidth) : 0.0f;
    const CVRotation& o = mWalker->orientation.GetValue();
    CVQuaternion q;
    q.Set(CVVector(o.x, o.y, o.z), o.angle);
    CVVector d = Turn(q, CVVector(0.0f, 0.0f, -1.0f));
    float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    mStepGain = std::isfinite(len) && len > 0.0f ? 0.0875f / len : 0.0875f;
}

void CVController::UpdateCameraPosition()
{
    // A dead zone of 4 pixels around the press point; beyond it the turn
    // grows with the square of the distance.
    if (mWalkDx > 4) {
        float c = float(mWalkDx - 5) * 0.03f;
        mYaw += mTurnGain * c * c;
    } else if (mWalkDx < -4) {
        float c = float(mWalkDx + 5) * 0.03f;
        mYaw -= mTurnGain * c * c;
    }
    if (mLookMode) {
        if (mWalkDy > 4) {
            float c = float(mWalkDy - 5) * 0.035f;
            mPitch += mTurnGain * c * c;
        } else if (mWalkDy < -4) {
            float c = float(mWalkDy + 5) * 0.035f;
            mPitch -= mTurnGain * c * c;
        }
        mPitch = std::clamp(mPitch, -16.0f, 16.0f);
    }

    CVQuaternion q = ToQuaternion(mReference->orientation.GetValue());
    q = RotateQuaternion(q, 1, mYaw / -20.0f);
    q = RotateQuaternion(q, 0, mPitch / -20.0f);
    CVVector v = Turn(q, CVVector(0.0f, 0.0f, 1.0f));

    Point3fStruct next = mBase;
    if (!mLookMode) {
        float w = float(std::abs(mWalkDy)) * 0.0075f;
        if (mWalkDy > 4) {
            next.x += w * mStepGain * v.x;
            next.z += w * mStepGain * v.z;
        } else if (mWalkDy < -4) {
            next.x -= w * mStepGain * v.x;
            next.z -= w * mStepGain * v.z;
        }
    }
    next.y += mVerticalVelocity;
    next.x += mSidewaysVelocity;
    next.x = std::clamp(next.x, mMin.x, mMax.x);
    next.y = std::clamp(next.y, mMin.y, mMax.y);
    next.z = std::clamp(next.z, mMin.z, mMax.z);
    if (!Finite3(next))
        return;
    mBase = next;

    Point3fStruct axis;
    float angle = 0.0f;
    q.Get(axis, angle);
    if (angle == 0.0f)
        mWalker->orientation.SetValue(0.0f, 0.0f, 1.0f, 0.0f);
    else
        mWalker->orientation.SetValue(axis, angle);
    mWalker->position.SetValue(mBase);
    Invalidate();
}

int CVController::OnKeyDown(int vk)
{
    if (mMouseMode != LumoMouseWalker)
        return 0;
    if (vk == VK_F1) {
        mSpeed = 1.0f;
        return 1;
    }
    if (vk != VK_LEFT && vk != VK_RIGHT && vk != VK_UP && vk != VK_DOWN)
        return 0;
    if (mKeyDown)
        return 1; // auto-repeat
    mKeyDown = true;
    bool shift = IsKeyDown(VK_SHIFT);
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT: {
        float sign = vk == VK_LEFT ? -1.0f : 1.0f;
        if (shift)
            mSidewaysVelocity = sign * 0.03f * mSpeed;
        else
            mWalkDx = int(sign * 200.0f * mSpeed);
        break;
    }
    default: {
        float sign = vk == VK_UP ? -1.0f : 1.0f;
        if (shift)
            mVerticalVelocity = -sign * 0.03f * mSpeed;
        else
            mWalkDy = int(sign * 85.0f * mSpeed);
        break;
    }
    }
    StartTimer();
    return 1;
}

int CVController::OnKeyUp(int vk)
{
    if (mMouseMode != LumoMouseWalker || (vk != VK_LEFT && vk != VK_RIGHT && vk != VK_UP && vk != VK_DOWN))
        return 0;
    mKeyDown = false;
    mWalkDx = mWalkDy = 0;
    mVerticalVelocity = mSidewaysVelocity = 0.0f;
    StopTimer();
    return 1;
}

bool CVController::SetCameraConstraints(const Point3fStruct& min, const Point3fStruct& max)
{
    // NaN bounds would let clamping pass anything through; reversed bounds
    // would make clamping undefined.
    if (std::isnan(min.x) || std::isnan(min.y) || std::isnan(min.z) || std::isnan(max.x) || std::isnan(max.y) ||
        std::isnan(max.z) || min.x > max.x || min.y > max.y || min.z > max.z)
        return false;
    mMin = min;
    mMax = max;
    return true;
}

bool CVController::SetSpeedFactor(float factor)
{
    if (!std::isfinite(factor) || !(factor > 0.0f))
        return false;
    mSpeed = factor;
    return true;
}

void CVController::SetCamera(CVCamera* camera)
{
    if (!camera)
        return;
    camera->orientation.SetValue(mWalker->orientation.GetValue());
    camera->position.SetValue(mWalker->position.GetValue());
    if (mHeight > 0)
        camera->aspect.SetValue(float(mWidth) / float(mHeight));
}

bool CVController::SetViewpoint(const Point3fStruct& position, const Point3fStruct& axis, float angle)
{
    if (!Finite3(position) || !Finite3(axis) || !std::isfinite(angle))
        return false;
    for (CVViewpoint* vp : {mReference.get(), mWalker.get()}) {
        vp->position.SetValue(position);
        vp->orientation.SetValue(axis, angle);
    }
    InitCameraInfo(mWidth, mHeight);
    return true;
}

void CVController::SetViewpoint(CVViewpoint* viewpoint)
{
    if (!viewpoint)
        return;
    Point3fStruct axis;
    float angle = 0.0f;
    viewpoint->orientation.GetValue(axis, angle);
    if (!SetViewpoint(viewpoint->position.GetValue(), axis, angle))
        return;
    CVNode* frame = viewpoint->keyFrame.GetValue();
    if (frame && frame->IsKindOf<CVKeyFrame>()) {
        mWalker->keyFrame.SetValue(frame);
        mAnimationPending = true;
    } else {
        mWalker->keyFrame.SetValue(nullptr);
        mAnimationPending = false;
    }
}

int CVController::AnimateViewpoint(CVGLRenderArea* area, int start)
{
    CVNode* node = mWalker->keyFrame.GetValue();
    auto* frame = node && node->IsKindOf<CVKeyFrame>() ? static_cast<CVKeyFrame*>(node) : nullptr;
    int n = frame ? frame->key.GetNum() : 0;
    if (n == 0) {
        mAnimating = false;
        return 0;
    }
    if (start) {
        if (area && area != mArea.get())
            SetRenderArea(area);
        CVKeyFrameAnimation::InitializeTransform(frame, 0, &mWalker->orientation, nullptr, &mWalker->position);
        mAnimationStart = lumo::Now();
        mAnimating = true;
        mAnimationPending = false;
        StartTimer();
        Invalidate();
        return 1;
    }
    if (!mAnimating)
        return 0;
    const CVMFFloat& keys = frame->key;
    double k0 = keys[0], kN = keys[n - 1];
    double seconds = std::chrono::duration<double>(lumo::Now() - mAnimationStart).count();
    double speed = frame->speed.GetValue();
    double t = kN;
    if (kN > k0 && std::isfinite(k0) && std::isfinite(kN)) {
        if (!(speed > 0.0) || !std::isfinite(speed))
            return 1; // holds its first key
        // One play lasts 1 / speed seconds.
        t = k0 + std::max(seconds, 0.0) * (kN - k0) * speed;
    }
    if (t >= kN) {
        CVKeyFrameAnimation::InitializeTransform(frame, n - 1, &mWalker->orientation, nullptr, &mWalker->position);
        // The walker starts from where the animation ended.
        mReference->orientation.SetValue(mWalker->orientation.GetValue());
        mReference->position.SetValue(mWalker->position.GetValue());
        InitCameraInfo(mWidth, mHeight);
        mAnimating = false;
        StopTimer();
        Invalidate();
        return 0;
    }
    int i = 0, j = 0;
    if (CVKeyFrameAnimation::GetNearestKeys(keys, t, i, j))
        CVKeyFrameAnimation::SetInterpolatedValues(frame, t, i, j, &mWalker->orientation, nullptr,
                                                   &mWalker->position);
    Invalidate();
    return 1;
}
