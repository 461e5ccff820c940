// Reads INI files the way the Windows profile functions do: section and key
// names without regard to case, blanks around names and values trimmed, one
// pair of enclosing quotes removed from a value, ';' lines as comments, the
// first occurrence of a key winning, values cut at 4095 characters.
#pragma once

#include <optional>
#include <string>
#include <vector>

class IniFile {
public:
    static constexpr size_t kMaxValue = 4095;

    // An unreadable file reads as empty.
    explicit IniFile(const std::string& path);

    bool Exists() const { return mExists; }
    // The value of the key, or nothing when the section has no such key.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // The key names of a section in file order.
    std::vector<std::string> Keys(const std::string& section) const;

private:
    struct Entry {
        std::string section, key, value;
    };
    std::vector<Entry> mEntries;
    bool mExists = false;
};
