#include "platform/net/UrlCache.h"

#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace lumo::net {

namespace {

// Entries are named by a hash of the URL, keeping its file extension so that
// image loaders see the usual suffix.
std::string EntryBase(const std::string& url)
{
    unsigned long long h = 1469598103934665603ull;
    for (unsigned char c : url) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", h);
    std::string base = CacheDirectory() + "/" + name;
    std::string path = url.substr(0, url.find_first_of("?#"));
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) && path.size() - dot <= 6)
        base += path.substr(dot);
    return base;
}

struct Meta {
    long long lastModified = 0;
    long long lastAccess = 0;
};

bool ReadMeta(const std::string& file, const std::string& url, Meta& meta)
{
    std::ifstream in(file + ".meta");
    std::string storedUrl;
    if (!std::getline(in, storedUrl) || storedUrl != url)
        return false;
    return bool(in >> meta.lastModified >> meta.lastAccess);
}

void WriteMeta(const std::string& file, const std::string& url, const Meta& meta)
{
    std::ofstream out(file + ".meta", std::ios::trunc);
    out << url << '\n' << meta.lastModified << ' ' << meta.lastAccess << '\n';
}

void GlobalInit()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)ready;
}

} // namespace

std::string CacheDirectory()
{
    if (const char* dir = std::getenv("LUMO_URL_CACHE"); dir && *dir)
        return dir;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.cache";
    else
        base = "/tmp";
    return base + "/vexoworks/urlcache";
}

std::string LookupCached(const std::string& url)
{
    std::string file = EntryBase(url);
    Meta meta;
    std::error_code ec;
    if (!ReadMeta(file, url, meta) || !fs::is_regular_file(file, ec))
        return {};
    if (meta.lastModified > meta.lastAccess)
        return {};
    meta.lastAccess = static_cast<long long>(std::time(nullptr));
    WriteMeta(file, url, meta);
    return file;
}

std::string Download(const std::string& url)
{
    GlobalInit();
    std::error_code ec;
    fs::create_directories(CacheDirectory(), ec);
    std::string file = EntryBase(url);
    std::string partial = file + ".part";
    FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out)
        return {};
    CURL* curl = curl_easy_init();
    CURLcode rc = CURLE_FAILED_INIT;
    long fileTime = -1;
    if (curl) {
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, out);
        curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L); // an error page is no file
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_FILETIME, 1L);
        rc = curl_easy_perform(curl);
        curl_easy_getinfo(curl, CURLINFO_FILETIME, &fileTime);
        curl_easy_cleanup(curl);
    }
    std::fclose(out);
    if (rc != CURLE_OK) {
        fs::remove(partial, ec);
        return {};
    }
    fs::rename(partial, file, ec);
    if (ec) {
        fs::remove(partial, ec);
        return {};
    }
    Meta meta;
    meta.lastAccess = static_cast<long long>(std::time(nullptr));
    meta.lastModified = fileTime >= 0 ? std::min<long long>(fileTime, meta.lastAccess) : 0;
    WriteMeta(file, url, meta);
    return file;
}

} // namespace lumo::net
