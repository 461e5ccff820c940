// Starting the child program from one command line: with its output
// captured into the log (and echoed), waiting for it, or detached.
#pragma once

#include <string>
#include <vector>

namespace launch {

// Splits a command line into arguments the way Windows programs read theirs:
// blanks separate, double quotes group (and are dropped), \" is a quote.
std::vector<std::string> SplitCommandLine(const std::string& line);

// Runs and waits, the child's standard output and error read through a pipe
// in chunks of up to 260 bytes, each appended to the log and, when 'echo',
// written to our own standard output. The child's exit code; -1 when it
// cannot be started.
int RunCaptured(const std::string& commandLine, bool echo);
// Runs and waits without capturing; the exit code, -1 when not started.
int RunAndWait(const std::string& commandLine);
// Starts the child in a session of its own and does not wait for it; 0, or
// -1 when the starter could not be waited for.
int RunDetached(const std::string& commandLine);

} // namespace launch
