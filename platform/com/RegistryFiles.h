// The file-based class registry: where its folders are, and the text files
// in them. Each class is "{CLSID}.class" and each ProgID "<progid>.progid"
// (lower-cased file name), both UTF-8 lines of Key=Value:
//
//   {D13E15EA-8752-4E11-9FFB-EB390760ACA0}.class
//     CLSID={D13E15EA-8752-4E11-9FFB-EB390760ACA0}
//     Module=/usr/lib/vexoworks/libOrbiscope.so
//     Name=Orbiscope Class
//     ProgID=Orbiscope.Orbiscope.1
//     VersionIndependentProgID=Orbiscope.Orbiscope
//     ThreadingModel=Apartment
//   orbiscope.orbiscope.progid
//     ProgID=Orbiscope.Orbiscope
//     CLSID={D13E15EA-8752-4E11-9FFB-EB390760ACA0}
//     CurVer=Orbiscope.Orbiscope.1
//
// Blank lines and lines starting with "#" are ignored. Bounds: a file of at
// most 64 KiB, 256 values, keys of 1 to 64 characters from [A-Za-z0-9_.],
// values of at most 4,096 bytes without control characters; a duplicate key
// or anything else breaks the file.
#pragma once

#include "platform/com/ComTypes.h"

#include <string>
#include <utility>
#include <vector>

namespace lumo {

constexpr std::size_t kMaxRegistryFileBytes = 64 * 1024;
constexpr std::size_t kMaxRegistryValues = 256;
constexpr std::size_t kMaxRegistryKeyLength = 64;
constexpr std::size_t kMaxRegistryValueLength = 4096;

enum class RegistryScope { User, System };

// The user's folder: $VEXO_USER_CLASSES, else $XDG_CONFIG_HOME/vexoworks/classes,
// else $HOME/.config/vexoworks/classes. The system's: $VEXO_SYSTEM_CLASSES,
// else /etc/vexoworks/classes. A relative path in a variable is not used
// (the folder is then "", which holds nothing and refuses writes).
std::string ClassRegistryFolder(RegistryScope scope);
// Lookups read the user's folder first, then the system's.
std::vector<std::string> ClassRegistrySearchFolders();

// Where self-registration writes: the system folder when running as root,
// else the user's, unless this process chose otherwise.
RegistryScope RegistrationScope();
void SetRegistrationScope(RegistryScope scope);

struct RegistryEntry {
    std::vector<std::pair<std::string, std::string>> values;

    const std::string* Find(const std::string& key) const;
    void Set(const std::string& key, const std::string& value);
};

std::string ClassFileName(const CLSID& clsid);
// Empty when the ProgID is not valid: 1 to 39 characters from [A-Za-z0-9._],
// starting with a letter.
std::string ProgIdFileName(const std::string& progId);
bool IsValidProgId(const std::string& progId);

// S_OK and the entry; S_FALSE when the file is absent; REGDB_E_INVALIDVALUE
// when it is untrusted (a link, wrong owner, writable by others) or broken;
// REGDB_E_READREGDB when it cannot be read.
HRESULT ReadRegistryFile(const std::string& folder, const std::string& fileName, RegistryEntry* entry);
// Writes through a temporary file (mode 0644), creating the folder when
// needed; REGDB_E_WRITEREGDB when the folder is untrusted or not writable.
HRESULT WriteRegistryFile(const std::string& folder, const std::string& fileName, const RegistryEntry& entry);
// S_FALSE when there was nothing to remove.
HRESULT RemoveRegistryFile(const std::string& folder, const std::string& fileName);

// Parsing and formatting of the text, exposed for tests.
bool ParseRegistryText(const std::string& text, RegistryEntry* entry);
std::string FormatRegistryText(const RegistryEntry& entry);

} // namespace lumo
