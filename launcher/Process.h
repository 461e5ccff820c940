// Starting the child program from an argument vector: with its output
// captured into the log (and echoed), waiting for it, or detached.
#pragma once

#include <string>
#include <vector>

namespace launch {

using Argv = std::vector<std::string>;

// Splits a setting's text into arguments the way Windows programs read
// theirs: blanks separate, double quotes group (and are dropped), \" is a
// quote.
Argv SplitCommandLine(const std::string& line);
// The arguments as one line for logs and messages: an argument that is
// empty or holds a blank or a quote is quoted, so SplitCommandLine reads it
// back.
std::string JoinCommandLine(const Argv& args);

// Makes the launcher independent of its own standard streams: a closed
// standard input, output or error is reopened on /dev/null (so that no file
// the launcher opens takes its place), and a write to a closed pipe fails
// with EPIPE instead of ending the launcher. Children still get the default
// SIGPIPE behaviour.
void ProtectStandardStreams();

// Runs and waits, the child's standard output and error read through a pipe
// as they come, each chunk appended to the log and, when 'echo', written to
// our own standard output. When our own output fails the child's
// output is still read and logged. The child's exit code; -1 when it cannot
// be started ('startError' says why).
int RunCaptured(const Argv& args, bool echo, std::string* startError);
// Runs and waits without capturing; the exit code, -1 when not started.
int RunAndWait(const Argv& args, std::string* startError);
// Starts the child in a session of its own, its standard streams on
// /dev/null, and does not wait for it; 0, or -1 when it could not be
// started or the starter could not be waited for.
int RunDetached(const Argv& args, std::string* startError = nullptr);

} // namespace launch
