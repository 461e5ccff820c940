// Property substitution in settings: "<name>" becomes the property's value,
// property by property in list order, so that a value may use properties
// listed after its own. Bounded, so that nested properties cannot make a
// setting grow without end.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace launch {

using Properties = std::vector<std::pair<std::string, std::string>>;

// A substituted text longer than this is refused (the most Linux passes in
// one argument).
constexpr size_t kMaxSubstitutedLength = 131072;
// Text brought in by a substitution may itself be substituted, up to this
// many levels.
constexpr int kMaxSubstitutionDepth = 8;
// The most properties an INI file and its master file may name together.
constexpr size_t kMaxProperties = 1000;

struct SubstitutionLimit : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws SubstitutionLimit when a bound is passed.
std::string SubstituteProperties(const std::string& text, const Properties& properties);

} // namespace launch
