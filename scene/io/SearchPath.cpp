#include "scene/io/SearchPath.h"

#include "platform/net/UrlCache.h"
#include "platform/text/Utf8.h"

#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

const size_t kMaxResult = 4096;

std::wstring& SharedFolder()
{
    static std::wstring folder;
    return folder;
}

bool StartsWithNoCase(const std::wstring& s, const wchar_t* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= s.size() || std::towlower(s[i]) != std::towlower(prefix[i]))
            return false;
    return true;
}

bool IsUrl(const std::wstring& s) { return lumo::IsNetworkUrl(s); }

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Percent escapes decoded as UTF-8 bytes; a malformed escape stays as it is.
std::wstring PercentDecode(const std::wstring& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        int hi, lo;
        if (text[i] == L'%' && i + 2 < text.size() && (hi = HexValue(text[i + 1])) >= 0 &&
            (lo = HexValue(text[i + 2])) >= 0) {
            bytes += char(hi * 16 + lo);
            i += 2;
        } else {
            bytes += lumo::ToUtf8(std::wstring(1, text[i]));
        }
    }
    return lumo::FromUtf8(bytes);
}

std::wstring Trim(const std::wstring& s)
{
    size_t a = s.find_first_not_of(L" \t");
    if (a == std::wstring::npos)
        return {};
    size_t b = s.find_last_not_of(L" \t");
    return s.substr(a, b - a + 1);
}

std::wstring ExistingFile(const fs::path& p)
{
    std::error_code ec;
    if (!fs::is_regular_file(p, ec))
        return {};
    return lumo::FromUtf8(fs::absolute(p, ec).lexically_normal().string());
}

std::wstring Limit(const std::wstring& s) { return s.size() <= kMaxResult ? s : std::wstring(); }

} // namespace

void lumo::ForgetSharedFilesPath() { SharedFolder().clear(); }

bool lumo::IsNetworkUrl(const std::wstring& s)
{
    return s.size() >= 6 && (StartsWithNoCase(s, L"http:") || StartsWithNoCase(s, L"https:") || StartsWithNoCase(s, L"ftp:"));
}

std::wstring lumo::LocalFileForLocation(const std::wstring& location)
{
    if (StartsWithNoCase(location, L"file:")) {
        // file:///path, file://localhost/path and file:/path name local files.
        std::wstring rest = location.substr(5);
        if (rest.compare(0, 2, L"//") == 0) {
            rest.erase(0, 2);
            size_t slash = rest.find(L'/');
            std::wstring host = rest.substr(0, slash);
            if (!host.empty() && !StartsWithNoCase(host, L"localhost"))
                return {}; // a file on another host is not reachable
            rest = slash == std::wstring::npos ? std::wstring() : rest.substr(slash);
        }
        return rest.empty() ? std::wstring() : PercentDecode(rest);
    }
    if (!IsNetworkUrl(location))
        return location;
    std::string url = lumo::ToUtf8(location);
    std::string file = lumo::net::LookupCached(url);
    if (file.empty())
        file = lumo::net::Download(url);
    return lumo::FromUtf8(file);
}

std::wstring CVGetVexoSharedFilesPath()
{
    std::wstring& folder = SharedFolder();
    if (!folder.empty())
        return folder;
    if (const char* env = std::getenv("VEXO_SHARED_FILES"); env && *env) {
        folder = lumo::FromUtf8(env);
    } else {
        std::ifstream in("/etc/vexoworks/shared-files");
        std::string line;
        if (std::getline(in, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.pop_back();
            folder = lumo::FromUtf8(line);
        }
    }
    return folder;
}

std::wstring CVGetDefaultImageSearchPath()
{
    std::wstring shared = CVGetVexoSharedFilesPath();
    return shared + L"/Chartwell/V9/Images;" + shared + L"/images;";
}

std::wstring CVGetURLSearchPath(IUnknown* caller, const std::wstring& searchPath, const std::wstring& name)
{
    if (name.empty())
        return {};
    std::vector<std::wstring> candidates;
    if (!IsUrl(name)) {
        fs::path file(lumo::ToUtf8(name));
        std::wstring path = searchPath;
        while (!path.empty() && path.back() == L' ')
            path.pop_back();
        if (path.empty() || file.is_absolute()) {
            if (std::wstring found = ExistingFile(file); !found.empty())
                return Limit(found);
        }
        if (!path.empty()) {
            if (path.back() != L';')
                path += L';';
            size_t start = 0;
            for (size_t end; (end = path.find(L';', start)) != std::wstring::npos; start = end + 1) {
                std::wstring entry = Trim(path.substr(start, end - start));
                if (entry.empty())
                    break;
                if (IsUrl(entry)) {
                    candidates.push_back(entry + name);
                    continue;
                }
                if (std::wstring found = ExistingFile(fs::path(lumo::ToUtf8(entry)) / file); !found.empty())
                    return Limit(found);
            }
        }
    }
    if (!caller)
        return {};
    candidates.push_back(name);
    for (const std::wstring& candidate : candidates) {
        // Only real URLs are fetched: a bare file name must not turn into a
        // guessed host name.
        if (candidate.find(L"://") == std::wstring::npos)
            continue;
        std::string url = lumo::ToUtf8(candidate);
        std::string file = lumo::net::LookupCached(url);
        if (file.empty())
            file = lumo::net::Download(url);
        if (!file.empty())
            return Limit(lumo::FromUtf8(file));
    }
    return {};
}
