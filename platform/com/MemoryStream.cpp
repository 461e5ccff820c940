#include "platform/com/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <new>

HRESULT lumo::CopyStream(IStream* from, IStream* to, ULONGLONG size, ULARGE_INTEGER* read, ULARGE_INTEGER* written)
{
    if (read)
        read->QuadPart = 0;
    if (written)
        written->QuadPart = 0;
    if (!from || !to)
        return STG_E_INVALIDPOINTER;
    std::vector<BYTE> buffer(64 * 1024);
    while (size > 0) {
        ULONG want = ULONG(std::min<ULONGLONG>(size, buffer.size()));
        ULONG got = 0;
        HRESULT hr = from->Read(buffer.data(), want, &got);
        if (FAILED(hr))
            return hr;
        if (read)
            read->QuadPart += got;
        ULONG put = 0;
        if (got) {
            hr = to->Write(buffer.data(), got, &put);
            if (written)
                written->QuadPart += put;
            if (FAILED(hr))
                return hr;
        }
        if (got < want)
            break;
        size -= got;
    }
    return S_OK;
}

ComPtr<CMemoryStream> CMemoryStream::Create(std::string_view bytes)
{
    auto stream = MakeObject<CMemoryStream>();
    stream->mBytes.assign(bytes.begin(), bytes.end());
    return stream;
}

HRESULT CMemoryStream::Read(void* buffer, ULONG size, ULONG* read)
{
    if (read)
        *read = 0;
    if (!buffer && size)
        return STG_E_INVALIDPOINTER;
    ULONGLONG available = mPosition < mBytes.size() ? mBytes.size() - mPosition : 0;
    ULONG n = ULONG(std::min<ULONGLONG>(size, available));
    if (n)
        std::memcpy(buffer, mBytes.data() + mPosition, n);
    mPosition += n;
    if (read)
        *read = n;
    return n == size ? S_OK : S_FALSE;
}

HRESULT CMemoryStream::Write(const void* buffer, ULONG size, ULONG* written)
{
    if (written)
        *written = 0;
    if (!buffer && size)
        return STG_E_INVALIDPOINTER;
    if (mPosition + size > kMaxMemoryStreamBytes)
        return STG_E_MEDIUMFULL;
    try {
        if (mPosition + size > mBytes.size())
            mBytes.resize(std::size_t(mPosition + size));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (size)
        std::memcpy(mBytes.data() + mPosition, buffer, size);
    mPosition += size;
    if (written)
        *written = size;
    return S_OK;
}

HRESULT CMemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    long long base;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = (long long)mPosition; break;
    case STREAM_SEEK_END: base = (long long)mBytes.size(); break;
    default: return STG_E_INVALIDFUNCTION;
    }
    long long target;
    if (__builtin_add_overflow(base, move.QuadPart, &target) || target < 0)
        return STG_E_INVALIDFUNCTION;
    mPosition = ULONGLONG(target);
    if (position)
        position->QuadPart = mPosition;
    return S_OK;
}

HRESULT CMemoryStream::SetSize(ULARGE_INTEGER size)
{
    if (size.QuadPart > kMaxMemoryStreamBytes)
        return STG_E_MEDIUMFULL;
    try {
        mBytes.resize(std::size_t(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CMemoryStream::CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written)
{
    return lumo::CopyStream(this, target, size.QuadPart, read, written);
}

HRESULT CMemoryStream::Commit(DWORD) { return S_OK; }
HRESULT CMemoryStream::Revert() { return S_OK; }
HRESULT CMemoryStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT CMemoryStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CMemoryStream::Stat(STATSTG* stat, DWORD)
{
    if (!stat)
        return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = mBytes.size();
    stat->grfMode = STGM_READWRITE;
    return S_OK;
}

HRESULT CMemoryStream::Clone(IStream** copy)
{
    if (copy)
        *copy = nullptr;
    return E_NOTIMPL;
}
