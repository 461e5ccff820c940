#include "launcher/Substitution.h"

#include <algorithm>
#include <cstdint>

namespace launch {

namespace {
SubstitutionLimit TooLong(const std::string& name)
{
    return SubstitutionLimit("substituting property <" + name + "> makes a setting longer than " +
                             std::to_string(kMaxSubstitutedLength) + " characters");
}
} // namespace

std::string SubstituteProperties(const std::string& text, const Properties& properties)
{
    // Each character carries how many substitutions brought it in; a token
    // made of characters from several levels counts as the deepest of them.
    std::string current = text;
    std::vector<uint8_t> depth(current.size(), 0);
    std::string next;
    std::vector<uint8_t> nextDepth;
    for (const auto& [name, value] : properties) {
        std::string token = "<" + name + ">";
        size_t pos = current.find(token);
        if (pos == std::string::npos)
            continue;
        next.clear();
        nextDepth.clear();
        size_t done = 0;
        for (; pos != std::string::npos; pos = current.find(token, done)) {
            int level = *std::max_element(depth.begin() + pos, depth.begin() + pos + token.size()) + 1;
            if (level > kMaxSubstitutionDepth)
                throw SubstitutionLimit("property <" + name + "> is nested more than " +
                                        std::to_string(kMaxSubstitutionDepth) + " levels deep");
            next.append(current, done, pos - done);
            nextDepth.insert(nextDepth.end(), depth.begin() + done, depth.begin() + pos);
            next += value;
            nextDepth.insert(nextDepth.end(), value.size(), uint8_t(level));
            done = pos + token.size();
            // What is built is a prefix of the result: checking it as it
            // grows keeps memory bounded too.
            if (next.size() > kMaxSubstitutedLength)
                throw TooLong(name);
        }
        next.append(current, done, std::string::npos);
        nextDepth.insert(nextDepth.end(), depth.begin() + done, depth.end());
        if (next.size() > kMaxSubstitutedLength)
            throw TooLong(name);
        current.swap(next);
        depth.swap(nextDepth);
    }
    return current;
}

} // namespace launch
