// Text form of GUIDs ("{D13E15EA-8752-4E11-9FFB-EB390760ACA0}"), ordering and
// hashing, so that identifiers can key maps and be written to files.
#pragma once

#include "platform/com/ComTypes.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lumo {

// Accepts exactly the braced form: 38 characters, hexadecimal digits in
// either case. Returns false (and leaves `out` alone) for anything else.
bool ParseGuid(std::string_view text, GUID* out);
bool ParseGuid(std::u16string_view text, GUID* out);
// The braced form with upper-case digits.
std::string FormatGuid(const GUID& guid);

} // namespace lumo

// The Windows-named forms: CO_E_CLASSSTRING for text that is not a GUID;
// StringFromGUID2 returns the characters written including the terminator,
// or 0 when `size` is below 39.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
HRESULT IIDFromString(LPCOLESTR text, IID* iid);
int StringFromGUID2(const GUID& guid, LPOLESTR out, int size);

bool operator<(const GUID& a, const GUID& b);

template <>
struct std::hash<GUID> {
    std::size_t operator()(const GUID& g) const noexcept;
};
