// The launcher's named mutexes: a lock file per name in a folder that only
// the user can use, locked with flock, so that the system releases it when
// the process ends, however it ends.
#pragma once

#include <string>

namespace launch {

class NamedLock {
public:
    // Unavailable: the lock folder or file cannot be used, so nobody can
    // tell whether the name is held.
    enum class State { Free, Held, Unavailable };

    NamedLock() = default;
    ~NamedLock() { Release(); }
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // Whether another process holds the name now; 'problem' says why when
    // Unavailable.
    static State Probe(const std::string& name, std::string* problem = nullptr);
    // Takes the name for the rest of this process's run (or until Release):
    // Free when taken, Held when another process holds it.
    State Acquire(const std::string& name, std::string* problem = nullptr);
    void Release();

    // The folder of the lock files: $XDG_RUNTIME_DIR/vexoworks-locks, else
    // $XDG_CACHE_HOME (default ~/.cache)/vexoworks-locks; empty when neither
    // can be named. It must belong to the user and have mode 0700.
    static std::string Directory();

private:
    int mFd = -1;
};

} // namespace launch
