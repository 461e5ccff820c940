// What the controller asks of the window it serves: repaints, the walker's
// timer, mouse capture and the state of keys at the moment of use. A windowed
// host implements it with its toolkit (and calls CVController::OnTimer on each
// tick); tests script it. Without a host the controller sees no key held and
// starts no timer.
#pragma once

class CVControllerHost {
public:
    virtual ~CVControllerHost() = default;

    virtual void Invalidate() = 0;
    // Starts timer `id` ticking every `intervalMs` on the window's thread;
    // false when the host has no timers.
    virtual bool SetTimer(unsigned id, unsigned intervalMs) = 0;
    virtual void KillTimer(unsigned id) = 0;
    virtual void SetCapture() {}
    virtual void ReleaseCapture() {}
    // Whether the key (a virtual-key code, platform/win/InputCodes.h) is down
    // now.
    virtual bool IsKeyDown(int virtualKey) const = 0;
};
