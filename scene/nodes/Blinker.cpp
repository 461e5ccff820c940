#include "scene/nodes/Blinker.h"

#include "scene/core/State.h"

#include <cmath>

LUMO_IMPLEMENT_NODE(CVBlinker, CVSwitch)

CVBlinker::CVBlinker() = default;

void CVBlinker::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVBlinker>(L"Blinker")
        .Field(L"choice", &CVBlinker::choice)
        .Field(L"whichChoice", &CVBlinker::whichChoice)
        .Field(L"speed", &CVBlinker::speed)
        .Field(L"on", &CVBlinker::on);
}

void CVBlinker::Render(CVState* state, CVGLRenderArea* area)
{
    if (state && area && !state->m_bPickMode)
        Advance(area);
}

void CVBlinker::Advance(CVGLRenderArea* area)
{
    std::uint64_t ms = 0;
    if (mTimer.Begin(area, on.GetValue() != 0, ms) != CVAnimationTimer::RUNNING)
        return;
    int count = choice.GetNum();
    if (count == 0)
        return;
    int steps = count == 1 ? 2 : count; // shown and hidden are two steps
    double period = 1.0 / double(speed.GetValue());
    if (speed.GetValue() > 0.0f && std::isfinite(period) && period > 0.0) {
        double elapsed = double(ms) / 1000.0;
        if (elapsed > period)
            elapsed = std::fmod(elapsed, period);
        if (elapsed < period / steps)
            return;
    } else if (ms == 0) {
        return; // no period: one step per new frame time, not per pass
    }
    mTimer.Mark();
    int which = whichChoice.GetValue();
    if (count == 1)
        whichChoice.SetValue(which == 0 ? -1 : 0);
    else
        whichChoice.SetValue(which < 0 || which >= count - 1 ? 0 : which + 1);
}
