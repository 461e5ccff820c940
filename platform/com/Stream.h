// Byte streams: sequential reads and writes, seeking, size and commit, as
// persistence and storages use them.
#pragma once

#include "platform/com/ComTypes.h"
#include "platform/com/Unknown.h"

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

constexpr DWORD STGTY_STORAGE = 1;
constexpr DWORD STGTY_STREAM = 2;
constexpr DWORD STATFLAG_DEFAULT = 0;
constexpr DWORD STATFLAG_NONAME = 1;

// What Stat reports; pwcsName (unless STATFLAG_NONAME) is CoTaskMemFree'd by
// the caller. Times are not kept and read as zero.
struct STATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

struct ISequentialStream : IUnknown {
    static constexpr IID iid = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
    using Base = IUnknown;

    // S_OK when `size` bytes were read, S_FALSE when the stream ended first
    // (*read, when given, says how many).
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;
};

struct IStream : ISequentialStream {
    static constexpr IID iid = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    using Base = ISequentialStream;

    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER size) = 0;
    virtual HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    // Region locks are not supported: STG_E_INVALIDFUNCTION.
    virtual HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    // Not supported: E_NOTIMPL.
    virtual HRESULT Clone(IStream** copy) = 0;
};

namespace lumo {

// CopyTo for any stream: reads from `from` at its position in 64 KiB
// pieces and writes them to `to`.
HRESULT CopyStream(IStream* from, IStream* to, ULONGLONG size, ULARGE_INTEGER* read, ULARGE_INTEGER* written);

} // namespace lumo
