// The launcher's named mutexes: a lock file per name in the user's runtime
// directory, locked with flock, so that the system releases it when the
// process ends, however it ends.
#pragma once

#include <string>

namespace launch {

class NamedLock {
public:
    NamedLock() = default;
    ~NamedLock() { Release(); }
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // Whether another process holds the name now.
    static bool IsHeld(const std::string& name);
    // Takes the name for the rest of this process's run (or until Release);
    // false when another process holds it.
    bool Acquire(const std::string& name);
    void Release();

    // The folder of the lock files: $XDG_RUNTIME_DIR/vexoworks-locks, else
    // /tmp/vexoworks-locks-<uid>.
    static std::string Directory();

private:
    int mFd = -1;
};

} // namespace launch
