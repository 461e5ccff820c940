// The binary form of persisted values in a stream: a fixed order, no names,
// every number little-endian whatever the host's byte order.
//
//   bool     1 byte, 0 or 1 (any other value is a corrupt stream)
//   short    2 bytes, two's complement
//   long     4 bytes, two's complement
//   ulong    4 bytes (also colours: 0x00BBGGRR)
//   float    4 bytes, IEEE 754 binary32
//   string   ulong count of UTF-16 code units, then the code units, 2 bytes
//            each; no terminator
//
// A string count above kMaxArchiveStringUnits (64 Mi code units, 128 MiB)
// is refused as corrupt before anything is allocated, and a string is read
// in 64 KiB pieces, so a count that the stream does not back ends in
// STG_E_READFAULT without a large allocation.
#pragma once

#include "platform/com/Stream.h"

#include <string>

constexpr ULONG kMaxArchiveStringUnits = 64u << 20;

// Reads values in order; after the first failure every read fails with it.
class CStreamReader {
public:
    explicit CStreamReader(IStream* stream) : mStream(stream) {}

    HRESULT ReadBool(bool* value);
    HRESULT ReadShort(SHORT* value);
    HRESULT ReadLong(LONG* value);
    HRESULT ReadULong(ULONG* value);
    HRESULT ReadFloat(float* value);
    HRESULT ReadString(std::u16string* value);
    HRESULT Result() const { return mResult; }

private:
    HRESULT ReadBytes(void* buffer, ULONG size);

    IStream* mStream;
    HRESULT mResult = S_OK;
};

// Writes values in order; after the first failure every write fails with it.
class CStreamWriter {
public:
    explicit CStreamWriter(IStream* stream) : mStream(stream) {}

    HRESULT WriteBool(bool value);
    HRESULT WriteShort(SHORT value);
    HRESULT WriteLong(LONG value);
    HRESULT WriteULong(ULONG value);
    HRESULT WriteFloat(float value);
    // E_INVALIDARG for a string longer than kMaxArchiveStringUnits.
    HRESULT WriteString(std::u16string_view value);
    HRESULT Result() const { return mResult; }

private:
    HRESULT WriteBytes(const void* buffer, ULONG size);

    IStream* mStream;
    HRESULT mResult = S_OK;
};
