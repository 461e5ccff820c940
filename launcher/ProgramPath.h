// Where the running program lies: by the name it was started under, or with
// all links resolved.
#pragma once

#include <string>

namespace launch {

// The path the program was started under, from argv[0] (searched along PATH
// when it names no folder), made absolute; a symbolic link stays itself.
std::string InvokedPath(const std::string& argv0);
// The path of the running executable, links resolved; empty when unknown.
std::string ExecutablePath();

} // namespace launch
