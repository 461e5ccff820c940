#include "launcher/IniFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace {

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
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
    std::ifstream in(path);
    mExists = bool(in);
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
    for (const Entry& e : mEntries)
        if (SameName(e.section, section) &&
            std::none_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameName(k, e.key); }))
            keys.push_back(e.key);
    return keys;
}
