// The launcher's command line, as the argument vector it was given:
// recognised options are read (and most are removed); the remaining
// arguments are passed on to the child unchanged.
#pragma once

#include <string>
#include <vector>

namespace launch {

using Argv = std::vector<std::string>;

// Finds an option: an argument equal to it, without regard to case. Its
// index, or npos.
size_t FindOption(const Argv& args, const std::string& option);
// Removes the option (and, when 'withValue', the argument after it, its
// value, with blanks trimmed) when 'remove'. False when absent.
bool TakeOption(Argv& args, const std::string& option, bool withValue, bool remove, std::string* value);

// A log entry found before the log could be opened; a warning also goes to
// standard error as 'message'.
struct LogNote {
    enum Level { INFO, WARNING } level;
    std::string tag, value, message;
};

struct LaunchArgs {
    Argv args; // what remains for the child
    bool autorun = false;
    bool wait = false;
    bool quiet = false;
    bool captureOutput = true;
    bool cleanupEnabled = false;
    bool noMessage = false;
    // Absolute: relative values are resolved once, against the folder the
    // launcher was started in.
    std::string tempLocation;
    std::string dataLocation;
    std::string logPath;
    std::vector<LogNote> notes;

    // Parses the arguments; 'application' names the default log file.
    LaunchArgs(const Argv& arguments, const std::string& application);
};

// $TMP, $TEMP or $TMPDIR (else /tmp), created when missing; empty (with a
// warning in 'notes') when it is not a usable directory.
std::string DefaultTempDirectory(std::vector<LogNote>& notes);
// $XDG_DATA_HOME (default ~/.local/share) + "/Vexo/Kestrova".
std::string DefaultDataLocation();

} // namespace launch
