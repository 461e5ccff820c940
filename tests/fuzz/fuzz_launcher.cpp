// Fuzz target: the launcher's INI reader, property substitution and
// command-line parsing. The input is split at its first zero byte: INI text
// before, command-line arguments (newline-separated) after.
#include "launcher/IniFile.h"
#include "launcher/LaunchArgs.h"
#include "launcher/Substitution.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A scratch folder of the run's own: folders the argument parser creates
// (a temporary location, the default data folder) stay inside it.
const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/lumo-fuzz-launcher-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        setenv("TMPDIR", pattern, 1);
        setenv("XDG_DATA_HOME", pattern, 1);
        return std::string(pattern);
    }();
    return folder;
}

// Values of folder options become plain names inside the scratch folder.
std::string Tame(const std::string& value)
{
    std::string out = ScratchFolder() + "/t-";
    for (char c : value.substr(0, 40))
        out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return out;
}

bool IsFolderOption(std::string a)
{
    for (char& c : a)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return a == "-templocation" || a == "-datalocation" || a == "-applogloc";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 65536)
        return -1;
    ScratchFolder();
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t zero = input.find('\0');
    std::string ini = input.substr(0, zero);
    std::string line = zero == std::string::npos ? std::string() : input.substr(zero + 1);

    IniFile file = IniFile::FromText(ini);
    launch::Properties properties;
    for (const std::string& key : file.Keys("properties"))
        if (properties.size() < launch::kMaxProperties)
            properties.emplace_back(key, file.Get("properties", key).value_or(""));
    for (const std::string& section : {"win", "default"})
        for (const std::string& key : file.Keys(section))
            try {
                launch::SubstituteProperties(file.Get(section, key).value_or(""), properties);
            } catch (const launch::SubstitutionLimit&) {
            }

    launch::Argv args;
    size_t start = 0;
    while (start <= line.size() && args.size() < 64) {
        size_t end = line.find('\n', start);
        args.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (IsFolderOption(args[i]))
            args[i + 1] = Tame(args[i + 1]);
    launch::LaunchArgs parsed(args, "fuzz");
    (void)parsed;
    return 0;
}
