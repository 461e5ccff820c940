// A stream over bytes in memory, growing as it is written (at most
// kMaxMemoryStreamBytes, then STG_E_MEDIUMFULL).
#pragma once

#include "platform/com/Object.h"
#include "platform/com/Stream.h"

#include <string_view>
#include <vector>

constexpr ULONGLONG kMaxMemoryStreamBytes = 1ull << 30;

class CMemoryStream : public TObject<IStream> {
public:
    // A stream holding a copy of `bytes`, positioned at the start.
    static ComPtr<CMemoryStream> Create(std::string_view bytes = {});

    const std::vector<BYTE>& Bytes() const { return mBytes; }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT SetSize(ULARGE_INTEGER size) override;
    HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override;
    HRESULT Commit(DWORD flags) override;
    HRESULT Revert() override;
    HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT Stat(STATSTG* stat, DWORD flags) override;
    HRESULT Clone(IStream** copy) override;

protected:
    CMemoryStream() = default;

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    std::vector<BYTE> mBytes;
    ULONGLONG mPosition = 0;
};
