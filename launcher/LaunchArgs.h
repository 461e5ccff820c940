// The launcher's command line: recognised options are read (and most are
// removed); what remains is passed on to the child.
#pragma once

#include <string>

namespace launch {

// Finds an option (case-insensitive, a whole word followed by a blank or the
// end) and returns its position, or npos.
size_t FindOption(const std::string& line, const std::string& option);
// Removes the option (and its value when 'withValue'); the value is returned
// through 'value' (quotes and blanks trimmed). False when absent.
bool TakeOption(std::string& line, const std::string& option, bool withValue, bool remove, std::string* value);

struct LaunchArgs {
    std::string line; // what remains for the child
    bool autorun = false;
    bool wait = false;
    bool quiet = false;
    bool captureOutput = true;
    bool cleanupEnabled = false;
    bool noMessage = false;
    std::string tempLocation;
    std::string dataLocation;
    std::string logPath;

    // Parses the line; 'application' names the default log file.
    LaunchArgs(const std::string& commandLine, const std::string& application);
};

// $TMP, $TEMP or $TMPDIR (else /tmp), created when missing; empty (with a
// warning in the log) when it is not a usable directory.
std::string DefaultTempDirectory();
// $XDG_DATA_HOME (default ~/.local/share) + "/Vexo/Kestrova".
std::string DefaultDataLocation();

} // namespace launch
