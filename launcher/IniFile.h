// Reads INI files the way the Windows profile functions do: section and key
// names without regard to case, blanks around names and values trimmed, one
// pair of enclosing quotes removed from a value, ';' lines as comments, the
// first occurrence of a key winning, values cut at 4095 characters. A UTF-8
// byte-order mark is skipped.
#pragma once

#include <optional>
#include <string>
#include <vector>

class IniFile {
public:
    static constexpr size_t kMaxValue = 4095;
    // Larger files are refused as unreadable rather than read in part.
    static constexpr size_t kMaxFileSize = 1 << 20;

    enum class Status { Ok, Missing, Unreadable };

    // Never blocks: a FIFO, a device or a folder is refused as not a
    // regular file.
    explicit IniFile(const std::string& path);
    // The settings of INI text held in memory (up to kMaxFileSize bytes;
    // longer text is refused as unreadable).
    static IniFile FromText(const std::string& text);

    Status State() const { return mStatus; }
    bool Exists() const { return mStatus != Status::Missing; }
    // Why the file is missing or unreadable (the system's words).
    const std::string& Problem() const { return mProblem; }
    // The value of the key, or nothing when the section has no such key.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // The key names of a section in file order.
    std::vector<std::string> Keys(const std::string& section) const;

private:
    IniFile() = default;
    struct Entry {
        std::string section, key, value;
    };
    void Parse(const std::string& text);

    std::vector<Entry> mEntries;
    Status mStatus = Status::Missing;
    std::string mProblem;
};
