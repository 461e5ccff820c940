// The time keeping the self-running nodes share. Every step reads the render
// area's frame time (stamped from the system's one injectable clock), the
// start of a run included, so that starts and steps have one time base.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>

class CVGLRenderArea;

namespace lumo::anim {
// Milliseconds since 1 January 1601 (a file time divided by 10,000); false
// for a time that is no valid date (an area whose frame was never stamped).
bool ToMilliseconds(const SYSTEMTIME& time, std::uint64_t& ms);
// Milliseconds from 'before' to 'now'; 0 when 'now' is earlier (the clock
// was set back) or either is no valid date.
std::uint64_t ElapsedMilliseconds(const SYSTEMTIME& now, const SYSTEMTIME& before);
} // namespace lumo::anim

class CVAnimationTimer {
public:
    enum Step {
        IDLE,    // the node does not move this frame
        STARTED, // a run begins now: the start is this frame's time
        RUNNING, // the run goes on: elapsed holds the time since the stored time
    };

    // The frame step every animated node takes: a node that is off, or an
    // area with animation disabled, restarts its next run; an active node
    // counts itself in the area even with animation disabled. With the
    // clock set back, elapsed is 0 and the stored time moves back to now.
    Step Begin(CVGLRenderArea* area, bool active, std::uint64_t& elapsedMs);
    // The time of the last step becomes this frame's time.
    void Mark() { mStored = mNow; }
    // The next active frame starts a new run.
    void Restart() { mRestart = true; }
    bool WillRestart() const { return mRestart; }

private:
    bool mRestart = true;
    std::uint64_t mStored = 0; // ms of the start or the last step
    std::uint64_t mNow = 0;    // ms of this frame
};
