// Library lifetime hooks for hosts that load lumoscene explicitly. The
// library starts itself when loaded; none of these is needed to use it.
#pragma once

extern "C" {

// A record describing the loaded library.
struct LumoLibraryRecord {
    const char* name;
    int versionMajor;
    int versionMinor;
};

const LumoLibraryRecord* InitDLL();
void SetDllLockedFlag();
void ClearDllLockedFlag();
// 0 when the library may be unloaded, 1 while it is locked.
int DllCanUnloadNow();
}
