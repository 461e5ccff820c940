// Removal of the temporary folder after a run: which folders may never be
// removed, and the script that removes one once the launcher has ended.
#pragma once

#include <string>

namespace launch {

// Why 'folder' must not be removed, or empty when it may be; 'resolved'
// receives its real path. Refused: a folder that is missing, not a folder
// or a symbolic link; the root, a top-level folder of the system; the home
// folder, the launcher's home and every folder above either.
std::string CleanupRefusal(const std::string& folder, const std::string& launcherHome, std::string* resolved);

// Writes the clean-up script into 'folder' under a new unpredictable name,
// never through a link and never over an existing file. The folder must be
// a real folder of this user that no one else may write to. The script's
// path, or empty with 'problem' set. The script takes the folder to enter
// and the folder to remove as its arguments, so no path is ever quoted into
// its text.
std::string WriteCleanScript(const std::string& folder, const std::string& application, std::string* problem);

} // namespace launch
