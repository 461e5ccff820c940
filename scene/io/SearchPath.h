// Locating the files a document names: the shared-files folder, the default
// image search path and the resolution of a file or URL name to a local file.
#pragma once

#include "platform/com/Unknown.h"

#include <string>

// The shared-files folder: $VEXO_SHARED_FILES, else the first line of
// /etc/vexoworks/shared-files; empty when neither gives one. Remembered once found.
std::wstring CVGetVexoSharedFilesPath();
// "<shared>/Chartwell/V9/Images;<shared>/images;"
std::wstring CVGetDefaultImageSearchPath();
// Resolves a name to a local file: searched along the ';'-separated path (or
// from the working directory when the path is empty); when not found and a
// caller object is given, URL entries of the path joined with the name, then
// the name itself, are fetched through the URL cache. Empty when nothing is found.
std::wstring CVGetURLSearchPath(IUnknown* caller, const std::wstring& searchPath, const std::wstring& name);

namespace lumo {
// Forgets the remembered shared-files folder (for tests and reconfiguration).
void ForgetSharedFilesPath();
// Whether the name is a network URL (http:, https: or ftp:).
bool IsNetworkUrl(const std::wstring& name);
// The local file a document location names: a "file:" URL as its path
// (percent escapes decoded), a network URL as its file in the URL cache
// (downloaded when not cached), anything else unchanged. Empty when a URL
// cannot be turned into a file.
std::wstring LocalFileForLocation(const std::wstring& location);
} // namespace lumo
