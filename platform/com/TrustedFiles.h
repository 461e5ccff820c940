// Reading configuration files safely: no link is followed at the last step,
// files and folders must belong to us (or root) and be writable by nobody
// else, and sizes are bounded before anything is read.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>
#include <string>

namespace lumo {

// What a check found: Missing (nothing there), Untrusted (a link, not the
// right kind of file, wrong owner, writable by others, too large), Failed
// (an I/O error).
enum class FileCheck { Ok, Missing, Untrusted, Failed };

// Opens a folder for reading entries; *fd is closed by the caller.
FileCheck OpenTrustedFolder(const std::string& path, int* fd);
// Reads a whole regular file from an open folder, refusing files larger
// than maxBytes.
FileCheck ReadTrustedFile(int folderFd, const std::string& name, std::size_t maxBytes, std::string* content);
// Whether a path names a trusted regular file (not a link), as for a module
// about to be loaded.
FileCheck CheckTrustedFile(const std::string& path);
// Creates the folder and its missing parents (mode 0755 for new ones).
bool CreateFolders(const std::string& path);

} // namespace lumo
