#include "scene/nodes/Animation.h"

#include "scene/core/State.h"

#include <cmath>
#include <cwctype>

LUMO_IMPLEMENT_NODE(CVAnimation, CVTransform)

namespace {
const double kTwoPi = 6.283185307179586;

bool SameIgnoringCase(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(wint_t(a[i])) != std::towlower(wint_t(b[i])))
            return false;
    return i == a.size() && !b[i];
}
} // namespace

CVAnimation::CVAnimation() { type.SetValue(L"Rotor"); }

void CVAnimation::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVAnimation>(L"Animation")
        .Field(L"center", &CVAnimation::center)
        .Field(L"children", &CVAnimation::children)
        .Field(L"rotation", &CVAnimation::rotation)
        .Field(L"scale", &CVAnimation::scale)
        .Field(L"scaleOrientation", &CVAnimation::scaleOrientation)
        .Field(L"translation", &CVAnimation::translation)
        .Field(L"bboxCenter", &CVAnimation::bboxCenter)
        .Field(L"bboxSize", &CVAnimation::bboxSize)
        .Field(L"angle1", &CVAnimation::angle1)
        .Field(L"angle2", &CVAnimation::angle2)
        .Field(L"translation1", &CVAnimation::translation1)
        .Field(L"translation2", &CVAnimation::translation2)
        .Field(L"speed", &CVAnimation::speed)
        .Field(L"on", &CVAnimation::on)
        .Field(L"type", &CVAnimation::type);
}

std::uint64_t CVAnimation::GetElapsedTime(const SYSTEMTIME& now, const SYSTEMTIME& before)
{
    return lumo::anim::ElapsedMilliseconds(now, before);
}

bool CVAnimation::Oscillate(float& value, float a, float b, double step, int direction)
{
    if (a == b) {
        value = a;
        return true;
    }
    float target = direction == 1 ? a : b;
    double rate = direction == 1 ? 2.0 * (double(a) - b) : 2.0 * (double(b) - a);
    double v = double(value) + step * rate;
    // Past the end (or already beyond it): stop there.
    if ((rate > 0 && v >= target) || (rate < 0 && v <= target) || !std::isfinite(v)) {
        value = target;
        return true;
    }
    value = float(v);
    return false;
}

void CVAnimation::Render(CVState* state, CVGLRenderArea* area)
{
    if (state && area && !state->m_bPickMode)
        Advance(area);
    CVTransform::Render(state, area);
}

void CVAnimation::Advance(CVGLRenderArea* area)
{
    std::uint64_t ms = 0;
    if (mTimer.Begin(area, on.GetValue() != 0, ms) == CVAnimationTimer::IDLE)
        return;
    double d = double(speed.GetValue()) * double(ms) / 1000.0;
    if (!std::isfinite(d))
        d = 0.0;
    // A long frame moves by the fraction of a turn or swing only.
    if (d > 1.0)
        d -= std::floor(d);
    mTimer.Mark();
    if (!(d > 0.0))
        return;
    const CVRotation& r = rotation.GetValue();
    if (SameIgnoringCase(type.GetValue(), L"Rotor")) {
        double angle = double(r.angle) + d * kTwoPi;
        if (angle > kTwoPi)
            angle -= kTwoPi;
        rotation.SetValue(r.x, r.y, r.z, float(angle));
    } else if (SameIgnoringCase(type.GetValue(), L"Pendulum")) {
        float angle = r.angle;
        if (Oscillate(angle, angle1.GetValue(), angle2.GetValue(), d, mDirection))
            mDirection = mDirection == 1 ? 2 : 1;
        rotation.SetValue(r.x, r.y, r.z, angle);
    } else {
        Point3fStruct t = translation.GetValue();
        const Point3fStruct& a = translation1.GetValue();
        const Point3fStruct& b = translation2.GetValue();
        bool x = Oscillate(t.x, a.x, b.x, d, mDirection);
        bool y = Oscillate(t.y, a.y, b.y, d, mDirection);
        bool z = Oscillate(t.z, a.z, b.z, d, mDirection);
        if (x && y && z)
            mDirection = mDirection == 1 ? 2 : 1;
        translation.SetValue(t);
    }
}
