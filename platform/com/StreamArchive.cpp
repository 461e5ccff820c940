#include "platform/com/StreamArchive.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr ULONG kPieceUnits = 32 * 1024; // 64 KiB of UTF-16

std::uint32_t FromLittle(const BYTE* b, int size)
{
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | b[i];
    return v;
}

void ToLittle(std::uint32_t v, BYTE* b, int size)
{
    for (int i = 0; i < size; ++i) {
        b[i] = BYTE(v & 0xFF);
        v >>= 8;
    }
}

} // namespace

HRESULT CStreamReader::ReadBytes(void* buffer, ULONG size)
{
    if (FAILED(mResult))
        return mResult;
    if (!mStream)
        return mResult = E_POINTER;
    ULONG read = 0;
    HRESULT hr = mStream->Read(buffer, size, &read);
    if (FAILED(hr))
        return mResult = hr;
    if (read != size)
        return mResult = STG_E_READFAULT;
    return S_OK;
}

HRESULT CStreamReader::ReadBool(bool* value)
{
    BYTE b;
    HRESULT hr = ReadBytes(&b, 1);
    if (FAILED(hr))
        return hr;
    if (b > 1)
        return mResult = STG_E_DOCFILECORRUPT;
    *value = b == 1;
    return S_OK;
}

HRESULT CStreamReader::ReadShort(SHORT* value)
{
    BYTE b[2];
    HRESULT hr = ReadBytes(b, 2);
    if (SUCCEEDED(hr))
        *value = SHORT(std::uint16_t(FromLittle(b, 2)));
    return hr;
}

HRESULT CStreamReader::ReadLong(LONG* value)
{
    ULONG u;
    HRESULT hr = ReadULong(&u);
    if (SUCCEEDED(hr))
        *value = LONG(u);
    return hr;
}

HRESULT CStreamReader::ReadULong(ULONG* value)
{
    BYTE b[4];
    HRESULT hr = ReadBytes(b, 4);
    if (SUCCEEDED(hr))
        *value = FromLittle(b, 4);
    return hr;
}

HRESULT CStreamReader::ReadFloat(float* value)
{
    ULONG bits;
    HRESULT hr = ReadULong(&bits);
    if (SUCCEEDED(hr))
        std::memcpy(value, &bits, sizeof bits);
    return hr;
}

HRESULT CStreamReader::ReadString(std::u16string* value)
{
    ULONG count;
    HRESULT hr = ReadULong(&count);
    if (FAILED(hr))
        return hr;
    if (count > kMaxArchiveStringUnits)
        return mResult = STG_E_DOCFILECORRUPT;
    std::u16string text;
    std::vector<BYTE> piece;
    try {
        piece.resize(std::size_t(std::min(count, kPieceUnits)) * 2);
        while (text.size() < count) {
            ULONG units = std::min<ULONG>(kPieceUnits, count - ULONG(text.size()));
            hr = ReadBytes(piece.data(), units * 2);
            if (FAILED(hr))
                return hr;
            for (ULONG i = 0; i < units; ++i)
                text += char16_t(piece[2 * i] | (piece[2 * i + 1] << 8));
        }
    } catch (const std::bad_alloc&) {
        return mResult = E_OUTOFMEMORY;
    }
    *value = std::move(text);
    return S_OK;
}

HRESULT CStreamWriter::WriteBytes(const void* buffer, ULONG size)
{
    if (FAILED(mResult))
        return mResult;
    if (!mStream)
        return mResult = E_POINTER;
    ULONG written = 0;
    HRESULT hr = mStream->Write(buffer, size, &written);
    if (FAILED(hr))
        return mResult = hr;
    if (written != size)
        return mResult = STG_E_WRITEFAULT;
    return S_OK;
}

HRESULT CStreamWriter::WriteBool(bool value)
{
    BYTE b = value ? 1 : 0;
    return WriteBytes(&b, 1);
}

HRESULT CStreamWriter::WriteShort(SHORT value)
{
    BYTE b[2];
    ToLittle(std::uint16_t(value), b, 2);
    return WriteBytes(b, 2);
}

HRESULT CStreamWriter::WriteLong(LONG value) { return WriteULong(ULONG(value)); }

HRESULT CStreamWriter::WriteULong(ULONG value)
{
    BYTE b[4];
    ToLittle(value, b, 4);
    return WriteBytes(b, 4);
}

HRESULT CStreamWriter::WriteFloat(float value)
{
    ULONG bits;
    std::memcpy(&bits, &value, sizeof bits);
    return WriteULong(bits);
}

HRESULT CStreamWriter::WriteString(std::u16string_view value)
{
    if (FAILED(mResult))
        return mResult;
    if (value.size() > kMaxArchiveStringUnits)
        return mResult = E_INVALIDARG;
    HRESULT hr = WriteULong(ULONG(value.size()));
    std::vector<BYTE> piece;
    try {
        piece.reserve(std::size_t(std::min<std::size_t>(value.size(), kPieceUnits)) * 2);
    } catch (const std::bad_alloc&) {
        return mResult = E_OUTOFMEMORY;
    }
    while (SUCCEEDED(hr) && !value.empty()) {
        std::size_t units = std::min<std::size_t>(value.size(), kPieceUnits);
        piece.clear();
        for (std::size_t i = 0; i < units; ++i) {
            piece.push_back(BYTE(value[i] & 0xFF));
            piece.push_back(BYTE(value[i] >> 8));
        }
        hr = WriteBytes(piece.data(), ULONG(piece.size()));
        value.remove_prefix(units);
    }
    return hr;
}
