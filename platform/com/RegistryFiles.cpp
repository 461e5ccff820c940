#include "platform/com/RegistryFiles.h"

#include "platform/com/Guid.h"
#include "platform/com/TempFile.h"
#include "platform/com/TrustedFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<int> gScope{-1}; // -1: by effective user

std::string AbsoluteFromEnv(const char* name, bool* set)
{
    const char* value = std::getenv(name);
    *set = value && *value;
    return *set && value[0] == '/' ? std::string(value) : std::string();
}

bool IsKeyChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

bool IsValidKey(const std::string& key)
{
    if (key.empty() || key.size() > lumo::kMaxRegistryKeyLength)
        return false;
    for (char c : key)
        if (!IsKeyChar(c))
            return false;
    return true;
}

bool IsValidValue(const std::string& value)
{
    if (value.size() > lumo::kMaxRegistryValueLength)
        return false;
    for (char c : value) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

} // namespace

std::string lumo::ClassRegistryFolder(RegistryScope scope)
{
    bool set = false;
    if (scope == RegistryScope::System) {
        std::string folder = AbsoluteFromEnv("VEXO_SYSTEM_CLASSES", &set);
        return set ? folder : std::string("/etc/vexoworks/classes");
    }
    std::string folder = AbsoluteFromEnv("VEXO_USER_CLASSES", &set);
    if (set)
        return folder;
    std::string config = AbsoluteFromEnv("XDG_CONFIG_HOME", &set);
    if (config.empty()) {
        std::string home = AbsoluteFromEnv("HOME", &set);
        if (home.empty())
            return std::string();
        config = home + "/.config";
    }
    return config + "/vexoworks/classes";
}

std::vector<std::string> lumo::ClassRegistrySearchFolders()
{
    return {ClassRegistryFolder(RegistryScope::User), ClassRegistryFolder(RegistryScope::System)};
}

lumo::RegistryScope lumo::RegistrationScope()
{
    int scope = gScope.load();
    if (scope >= 0)
        return RegistryScope(scope);
    return geteuid() == 0 ? RegistryScope::System : RegistryScope::User;
}

void lumo::SetRegistrationScope(RegistryScope scope) { gScope = int(scope); }

const std::string* lumo::RegistryEntry::Find(const std::string& key) const
{
    for (const auto& kv : values)
        if (kv.first == key)
            return &kv.second;
    return nullptr;
}

void lumo::RegistryEntry::Set(const std::string& key, const std::string& value)
{
    for (auto& kv : values)
        if (kv.first == key) {
            kv.second = value;
            return;
        }
    values.emplace_back(key, value);
}

std::string lumo::ClassFileName(const CLSID& clsid) { return FormatGuid(clsid) + ".class"; }

bool lumo::IsValidProgId(const std::string& progId)
{
    if (progId.empty() || progId.size() > 39)
        return false;
    char first = progId[0];
    if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z')))
        return false;
    for (char c : progId)
        if (!IsKeyChar(c))
            return false;
    return true;
}

std::string lumo::ProgIdFileName(const std::string& progId)
{
    if (!IsValidProgId(progId))
        return std::string();
    std::string name = progId;
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name + ".progid";
}

bool lumo::ParseRegistryText(const std::string& text, RegistryEntry* entry)
{
    RegistryEntry parsed;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            return false;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (!IsValidKey(key) || !IsValidValue(value) || parsed.Find(key))
            return false;
        if (parsed.values.size() >= kMaxRegistryValues)
            return false;
        parsed.values.emplace_back(std::move(key), std::move(value));
    }
    *entry = std::move(parsed);
    return true;
}

std::string lumo::FormatRegistryText(const RegistryEntry& entry)
{
    std::string text = "# Class registration; written by the module's self-registration.\n";
    for (const auto& kv : entry.values)
        text += kv.first + "=" + kv.second + "\n";
    return text;
}

HRESULT lumo::ReadRegistryFile(const std::string& folder, const std::string& fileName, RegistryEntry* entry)
{
    if (folder.empty() || fileName.empty())
        return S_FALSE;
    int dir = -1;
    switch (OpenTrustedFolder(folder, &dir)) {
    case FileCheck::Ok: break;
    case FileCheck::Missing: return S_FALSE;
    case FileCheck::Untrusted: return REGDB_E_INVALIDVALUE;
    case FileCheck::Failed: return REGDB_E_READREGDB;
    }
    std::string text;
    FileCheck check = ReadTrustedFile(dir, fileName, kMaxRegistryFileBytes, &text);
    close(dir);
    switch (check) {
    case FileCheck::Ok: break;
    case FileCheck::Missing: return S_FALSE;
    case FileCheck::Untrusted: return REGDB_E_INVALIDVALUE;
    case FileCheck::Failed: return REGDB_E_READREGDB;
    }
    return ParseRegistryText(text, entry) ? S_OK : REGDB_E_INVALIDVALUE;
}

HRESULT lumo::WriteRegistryFile(const std::string& folder, const std::string& fileName, const RegistryEntry& entry)
{
    if (folder.empty() || fileName.empty() || entry.values.size() > kMaxRegistryValues)
        return REGDB_E_WRITEREGDB;
    for (const auto& kv : entry.values)
        if (!IsValidKey(kv.first) || !IsValidValue(kv.second))
            return REGDB_E_WRITEREGDB;
    if (!CreateFolders(folder))
        return REGDB_E_WRITEREGDB;
    int dir = -1;
    if (OpenTrustedFolder(folder, &dir) != FileCheck::Ok)
        return REGDB_E_WRITEREGDB;
    close(dir);
    std::unique_ptr<CTempFile> file;
    if (FAILED(CTempFile::Create(folder, fileName, 0644, &file)) || FAILED(file->WriteAll(FormatRegistryText(entry))) ||
        FAILED(file->Publish()))
        return REGDB_E_WRITEREGDB;
    return S_OK;
}

HRESULT lumo::RemoveRegistryFile(const std::string& folder, const std::string& fileName)
{
    if (folder.empty() || fileName.empty() || fileName.find('/') != std::string::npos)
        return S_FALSE;
    int dir = -1;
    FileCheck check = OpenTrustedFolder(folder, &dir);
    if (check == FileCheck::Missing)
        return S_FALSE;
    if (check != FileCheck::Ok)
        return REGDB_E_WRITEREGDB;
    int rc = unlinkat(dir, fileName.c_str(), 0);
    int error = errno;
    close(dir);
    if (rc == 0)
        return S_OK;
    return error == ENOENT ? S_FALSE : REGDB_E_WRITEREGDB;
}
