// Label text as code points: the library's wide strings turned into lines
// of Unicode scalar values, with the line breaks labels use. Any count read
// from a document is bounded here, once, for every text path.
#pragma once

#include <string>
#include <vector>

namespace lumo::text {

// At most this many lines of one text are laid out, and this many code
// points of one line; what lies beyond is neither measured nor drawn.
constexpr std::size_t kMaxLines = 1000;
constexpr std::size_t kMaxLineLength = 4096;

// The code points of a wide string: surrogate pairs are joined, lone
// surrogates and values above U+10FFFF dropped, tabs become spaces and other
// control characters are dropped. At most kMaxLineLength code points.
std::u32string ToCodePoints(const std::wstring& text);

// Splits a string at line feeds and at the five characters "^[n]^", the
// line break of labels, into at most kMaxLines lines (added to 'lines').
void SplitLines(const std::wstring& text, std::vector<std::wstring>& lines);

// A face name (at most 31 characters) and back, as logical fonts hold them.
void SetFaceName(char16_t (&out)[32], const std::wstring& name);
std::wstring GetFaceName(const char16_t (&name)[32]);

} // namespace lumo::text
