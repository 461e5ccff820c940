#include "scene/nodes/KeyFrameAnimation.h"

#include "scene/core/State.h"

#include <cmath>

LUMO_IMPLEMENT_NODE(CVKeyFrameAnimation, CVTransform)

CVKeyFrameAnimation::CVKeyFrameAnimation() { whichKeyFrame.SetValue(-1); }

void CVKeyFrameAnimation::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVKeyFrameAnimation>(L"KeyFrameAnimation")
        .Field(L"center", &CVKeyFrameAnimation::center)
        .Field(L"children", &CVKeyFrameAnimation::children)
        .Field(L"rotation", &CVKeyFrameAnimation::rotation)
        .Field(L"scale", &CVKeyFrameAnimation::scale)
        .Field(L"scaleOrientation", &CVKeyFrameAnimation::scaleOrientation)
        .Field(L"translation", &CVKeyFrameAnimation::translation)
        .Field(L"bboxCenter", &CVKeyFrameAnimation::bboxCenter)
        .Field(L"bboxSize", &CVKeyFrameAnimation::bboxSize)
        .Field(L"whichKeyFrame", &CVKeyFrameAnimation::whichKeyFrame)
        .Field(L"keyFrames", &CVKeyFrameAnimation::keyFrames);
}

void CVKeyFrameAnimation::InitializeTransform(CVKeyFrame* frame, int k, CVSFRotation* rotation, CVSFVec3f* scale,
                                              CVSFVec3f* translation)
{
    if (!frame || k < 0)
        return;
    if (rotation && k < frame->rotationKeyValue.GetNum())
        rotation->SetValue(frame->rotationKeyValue[k]);
    if (scale && k < frame->scaleKeyValue.GetNum())
        scale->SetValue(frame->scaleKeyValue[k]);
    if (translation && k < frame->translationKeyValue.GetNum())
        translation->SetValue(frame->translationKeyValue[k]);
}

int CVKeyFrameAnimation::GetNearestKeys(const CVMFFloat& keys, double t, int& i, int& j)
{
    int n = keys.GetNum();
    if (n >= 2)
        for (int k = 0; k + 1 < n; ++k)
            if (double(keys[k]) <= t && t <= double(keys[k + 1])) {
                i = k;
                j = k + 1;
                return 1;
            }
    i = n;
    return 0;
}

namespace {
float Lerp(float a, float b, double f) { return float(double(a) + (double(b) - double(a)) * f); }

Point3fStruct Lerp(const Point3fStruct& a, const Point3fStruct& b, double f)
{
    return {Lerp(a.x, b.x, f), Lerp(a.y, b.y, f), Lerp(a.z, b.z, f)};
}
} // namespace

void CVKeyFrameAnimation::SetInterpolatedValues(CVKeyFrame* frame, double t, int i, int j, CVSFRotation* rotation,
                                                CVSFVec3f* scale, CVSFVec3f* translation)
{
    if (!frame || i < 0 || j < 0 || i >= frame->key.GetNum() || j >= frame->key.GetNum())
        return;
    double ki = frame->key[i], kj = frame->key[j];
    if (ki == kj)
        return;
    double f = (t - ki) / (kj - ki);
    if (!std::isfinite(f))
        return;
    auto has = [i, j](const CVMField& list) { return i < list.GetNum() && j < list.GetNum(); };
    if (rotation && has(frame->rotationKeyValue)) {
        const CVRotation& a = frame->rotationKeyValue[i];
        const CVRotation& b = frame->rotationKeyValue[j];
        rotation->SetValue(Lerp(a.x, b.x, f), Lerp(a.y, b.y, f), Lerp(a.z, b.z, f), Lerp(a.angle, b.angle, f));
    }
    if (scale && has(frame->scaleKeyValue))
        scale->SetValue(Lerp(frame->scaleKeyValue[i], frame->scaleKeyValue[j], f));
    if (translation && has(frame->translationKeyValue))
        translation->SetValue(Lerp(frame->translationKeyValue[i], frame->translationKeyValue[j], f));
}

void CVKeyFrameAnimation::Render(CVState* state, CVGLRenderArea* area)
{
    if (state && area && !state->m_bPickMode)
        Advance(area);
    CVTransform::Render(state, area);
}

void CVKeyFrameAnimation::Finish(CVKeyFrame* frame)
{
    InitializeTransform(frame, frame->key.GetNum() - 1, &rotation, &scale, &translation);
    whichKeyFrame.SetValue(-1);
    mTimer.Restart();
}

void CVKeyFrameAnimation::Advance(CVGLRenderArea* area)
{
    int which = whichKeyFrame.GetValue();
    CVKeyFrame* frame = which >= 0 && which < keyFrames.GetNum() ? keyFrames[which] : nullptr;
    if (frame && which != mPlaying)
        mTimer.Restart(); // another key frame was chosen
    std::uint64_t ms = 0;
    CVAnimationTimer::Step step = mTimer.Begin(area, frame != nullptr, ms);
    if (step == CVAnimationTimer::IDLE)
        return;
    if (step == CVAnimationTimer::STARTED) {
        mPlaying = which;
        InitializeTransform(frame, 0, &rotation, &scale, &translation);
        return;
    }
    const CVMFFloat& keys = frame->key;
    int n = keys.GetNum();
    if (n == 0) {
        whichKeyFrame.SetValue(-1);
        mTimer.Restart();
        return;
    }
    double k0 = keys[0], kN = keys[n - 1];
    if (!(kN > k0)) {
        Finish(frame); // one key, or nothing to play from first to last
        return;
    }
    double speed = frame->speed.GetValue();
    if (!(speed > 0.0) || !std::isfinite(speed))
        return; // holds the first key's values
    double t = k0 + double(ms) / 1000.0 / ((kN - k0) / speed);
    if (!std::isfinite(t))
        return;
    if (t >= kN) {
        Finish(frame);
        return;
    }
    int i = 0, j = 0;
    if (GetNearestKeys(keys, t, i, j))
        SetInterpolatedValues(frame, t, i, j, &rotation, &scale, &translation);
}
