#include "launcher/IniFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

IniFile::IniFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        mStatus = errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Unreadable;
        mProblem = std::strerror(errno);
        return;
    }
    mStatus = Status::Unreadable;
    struct stat st {};
    std::string text;
    if (fstat(fd, &st) != 0) {
        mProblem = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        mProblem = "not a regular file";
    } else if (size_t(st.st_size) > kMaxFileSize) {
        mProblem = "larger than " + std::to_string(kMaxFileSize) + " bytes";
    } else {
        char buf[65536];
        while (true) {
            ssize_t n = read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                mProblem = std::strerror(errno);
                break;
            }
            if (n == 0) {
                mStatus = Status::Ok;
                break;
            }
            text.append(buf, size_t(n));
            if (text.size() > kMaxFileSize) { // grew while being read
                mProblem = "larger than " + std::to_string(kMaxFileSize) + " bytes";
                break;
            }
        }
    }
    close(fd);
    if (mStatus == Status::Ok)
        Parse(text);
}

IniFile IniFile::FromText(const std::string& text)
{
    IniFile file;
    if (text.size() > kMaxFileSize) {
        file.mStatus = Status::Unreadable;
        file.mProblem = "larger than " + std::to_string(kMaxFileSize) + " bytes";
        return file;
    }
    file.mStatus = Status::Ok;
    file.Parse(text);
    return file;
}

void IniFile::Parse(const std::string& text)
{
    std::istringstream in(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
    std::string line, section;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t[0] == '[') {
            size_t close = t.find(']');
            section = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        size_t eq = t.find('=');
        if (eq == std::string::npos)
            continue;
        std::string value = Trim(t.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > kMaxValue)
            value.resize(kMaxValue);
        mEntries.push_back({section, Trim(t.substr(0, eq)), value});
    }
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const
{
    for (const Entry& e : mEntries)
        if (SameName(e.section, section) && SameName(e.key, key))
            return e.value;
    return std::nullopt;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const
{
    std::vector<std::string> keys;
    std::unordered_set<std::string> seen;
    for (const Entry& e : mEntries)
        if (SameName(e.section, section) && seen.insert(Lower(e.key)).second)
            keys.push_back(e.key);
    return keys;
}
