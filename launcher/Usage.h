// What the launcher programs print for --help.
#pragma once

#include "launcher/LaunchArgs.h"
#include "launcher/Launcher.h"

#include <string>

namespace launch {

// The usage text of the program of this kind.
std::string UsageText(Kind kind);

// True when the command line asks for the usage: "--help" as its only
// argument. Anywhere else "--help" is passed on to the application like
// every argument the launcher does not read.
bool AsksForUsage(const Argv& args);

} // namespace launch
