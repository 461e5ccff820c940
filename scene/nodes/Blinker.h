// A switch that changes its choice by itself while it is rendered: with one
// choice it shows and hides it, with more it shows each in turn.
#pragma once

#include "scene/nodes/AnimationTimer.h"
#include "scene/nodes/Switch.h"

class CVBlinker : public CVSwitch {
    LUMO_DECLARE_NODE(CVBlinker)

public:
    CVBlinker();

    // Cycles per second: one cycle shows every choice once (one choice:
    // shown, then hidden). 0, negative or not a number: no period, and the
    // choice moves on once per frame whose time differs from the last.
    CVSFFloat speed;
    CVSFBool on;

    // Advances the choice by the frame time (not in selection mode, and only
    // with a render area). The next choice after the last, or after any
    // choice outside the list, is the first; with one choice, any choice
    // other than 0 becomes 0 and 0 becomes -1 (hidden).
    void Render(CVState* state, CVGLRenderArea* area) override;

protected:
    // Walked while hidden too, so that it can show itself again.
    bool WalkedWithoutChoice() const override { return true; }

private:
    void Advance(CVGLRenderArea* area);

    CVAnimationTimer mTimer;
};
