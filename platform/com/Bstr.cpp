#include "platform/com/Bstr.h"

#include "platform/com/Utf16.h"

#include <cstdlib>
#include <cstring>
#include <new>

// Layout: a 4-byte byte count, the code units, then a 2-byte terminator; the
// BSTR points at the first code unit.
namespace {

BSTR AllocateBytes(const void* data, UINT byteLength)
{
    if (byteLength > kMaxBstrLength * 2u)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(std::uint32_t) + byteLength + 2));
    if (!block)
        return nullptr;
    std::uint32_t prefix = byteLength;
    std::memcpy(block, &prefix, sizeof prefix);
    unsigned char* chars = block + sizeof prefix;
    if (data)
        std::memcpy(chars, data, byteLength);
    else
        std::memset(chars, 0, byteLength);
    chars[byteLength] = 0;
    chars[byteLength + 1] = 0;
    return reinterpret_cast<BSTR>(chars);
}

unsigned char* BlockOf(BSTR text) { return reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t); }

UINT LengthOf(LPCOLESTR text)
{
    UINT n = 0;
    while (text[n])
        ++n;
    return n;
}

} // namespace

void* CoTaskMemAlloc(std::size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void CoTaskMemFree(void* memory) { std::free(memory); }

BSTR SysAllocString(LPCOLESTR text) { return text ? SysAllocStringLen(text, LengthOf(text)) : nullptr; }

BSTR SysAllocStringLen(LPCOLESTR text, UINT length)
{
    if (length > kMaxBstrLength)
        return nullptr;
    return AllocateBytes(text, length * 2u);
}

BSTR SysAllocStringByteLen(const char* bytes, UINT byteLength) { return AllocateBytes(bytes, byteLength); }

void SysFreeString(BSTR text)
{
    if (text)
        std::free(BlockOf(text));
}

UINT SysStringByteLen(BSTR text)
{
    if (!text)
        return 0;
    std::uint32_t prefix;
    std::memcpy(&prefix, BlockOf(text), sizeof prefix);
    return prefix;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / 2u; }

INT SysReAllocStringLen(BSTR* text, LPCOLESTR source, UINT length)
{
    if (!text)
        return 0;
    BSTR copy = SysAllocStringLen(source, length);
    if (!copy)
        return 0;
    SysFreeString(*text);
    *text = copy;
    return 1;
}

INT SysReAllocString(BSTR* text, LPCOLESTR source)
{
    if (!source) {
        if (!text)
            return 0;
        SysFreeString(*text);
        *text = nullptr;
        return 1;
    }
    return SysReAllocStringLen(text, source, LengthOf(source));
}

CBstr::CBstr(std::u16string_view text)
{
    if (text.size() > kMaxBstrLength)
        throw std::bad_alloc();
    mText = SysAllocStringLen(text.data(), UINT(text.size()));
    if (!mText)
        throw std::bad_alloc();
}

CBstr::CBstr(std::wstring_view text) : CBstr(std::u16string_view(lumo::ToUtf16(text))) {}

CBstr::CBstr(const CBstr& other)
{
    if (other.mText) {
        mText = SysAllocStringByteLen(reinterpret_cast<const char*>(other.mText), SysStringByteLen(other.mText));
        if (!mText)
            throw std::bad_alloc();
    }
}

CBstr& CBstr::operator=(const CBstr& other)
{
    if (this != &other) {
        CBstr copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CBstr& CBstr::operator=(CBstr&& other) noexcept
{
    if (this != &other) {
        SysFreeString(mText);
        mText = other.Detach();
    }
    return *this;
}

CBstr CBstr::Adopt(BSTR text)
{
    CBstr s;
    s.mText = text;
    return s;
}

CBstr CBstr::Copy(BSTR text)
{
    CBstr s;
    if (text) {
        s.mText = SysAllocStringByteLen(reinterpret_cast<const char*>(text), SysStringByteLen(text));
        if (!s.mText)
            throw std::bad_alloc();
    }
    return s;
}

BSTR* CBstr::Put()
{
    SysFreeString(mText);
    mText = nullptr;
    return &mText;
}

BSTR CBstr::Detach()
{
    BSTR t = mText;
    mText = nullptr;
    return t;
}

std::wstring CBstr::ToWide() const { return lumo::FromUtf16(View()); }
