#include "platform/com/FileStream.h"

#include "platform/com/Bstr.h"
#include "platform/com/TempFile.h"
#include "platform/com/Utf16.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

HRESULT OpenError(int error)
{
    switch (error) {
    case ENOENT: return STG_E_FILENOTFOUND;
    case EACCES:
    case EPERM: return STG_E_ACCESSDENIED;
    case ELOOP: return STG_E_INVALIDNAME;
    default: return STG_E_READFAULT;
    }
}

HRESULT Wrap(int fd, std::string name, ComPtr<CFileStream>* out)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return STG_E_INVALIDNAME;
    }
    // The descriptor was opened non-blocking to pass by FIFOs; regular files
    // read the same either way.
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    try {
        *out = MakeObject<CFileStream>(fd, nullptr, std::move(name));
    } catch (...) {
        close(fd);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

HRESULT CFileStream::Open(const std::string& path, ComPtr<CFileStream>* out)
{
    if (!out)
        return STG_E_INVALIDPOINTER;
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return OpenError(errno);
    return Wrap(fd, BaseName(path), out);
}

HRESULT CFileStream::OpenAt(int folderFd, const std::string& name, ComPtr<CFileStream>* out)
{
    if (!out)
        return STG_E_INVALIDPOINTER;
    int fd = openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return OpenError(errno);
    return Wrap(fd, name, out);
}

HRESULT CFileStream::Create(const std::string& path, ComPtr<CFileStream>* out)
{
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : path.substr(0, slash));
    return CreateIn(folder, BaseName(path), out);
}

HRESULT CFileStream::CreateIn(const std::string& folder, const std::string& name, ComPtr<CFileStream>* out)
{
    if (!out)
        return STG_E_INVALIDPOINTER;
    std::unique_ptr<CTempFile> temp;
    HRESULT hr = CTempFile::Create(folder, name, 0644, &temp);
    if (FAILED(hr))
        return hr;
    int fd = temp->Fd();
    try {
        *out = MakeObject<CFileStream>(fd, std::move(temp), name);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

CFileStream::CFileStream(int fd, std::unique_ptr<CTempFile> temp, std::string name)
    : mFd(fd), mTemp(std::move(temp)), mName(std::move(name))
{
}

CFileStream::~CFileStream()
{
    if (!mTemp)
        close(mFd); // a temporary file closes its own descriptor
}

HRESULT CFileStream::Read(void* buffer, ULONG size, ULONG* read)
{
    if (read)
        *read = 0;
    if (!buffer && size)
        return STG_E_INVALIDPOINTER;
    ULONG total = 0;
    while (total < size) {
        ssize_t n = pread(mFd, static_cast<char*>(buffer) + total, size - total, off_t(mPosition));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return STG_E_READFAULT;
        if (n == 0)
            break;
        total += ULONG(n);
        mPosition += ULONGLONG(n);
    }
    if (read)
        *read = total;
    return total == size ? S_OK : S_FALSE;
}

HRESULT CFileStream::Write(const void* buffer, ULONG size, ULONG* written)
{
    if (written)
        *written = 0;
    if (!IsWritable())
        return STG_E_ACCESSDENIED;
    if (!buffer && size)
        return STG_E_INVALIDPOINTER;
    ULONG total = 0;
    while (total < size) {
        ssize_t n = pwrite(mFd, static_cast<const char*>(buffer) + total, size - total, off_t(mPosition));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return errno == ENOSPC ? STG_E_MEDIUMFULL : STG_E_WRITEFAULT;
        total += ULONG(n);
        mPosition += ULONGLONG(n);
        if (written)
            *written = total;
    }
    return S_OK;
}

HRESULT CFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    long long base;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = (long long)mPosition; break;
    case STREAM_SEEK_END: {
        struct stat st;
        if (fstat(mFd, &st) != 0)
            return STG_E_READFAULT;
        base = st.st_size;
        break;
    }
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

HRESULT CFileStream::SetSize(ULARGE_INTEGER size)
{
    if (!IsWritable())
        return STG_E_ACCESSDENIED;
    if (size.QuadPart > ULONGLONG(INT64_MAX) || ftruncate(mFd, off_t(size.QuadPart)) != 0)
        return STG_E_MEDIUMFULL;
    return S_OK;
}

HRESULT CFileStream::CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written)
{
    return lumo::CopyStream(this, target, size.QuadPart, read, written);
}

HRESULT CFileStream::Commit(DWORD)
{
    if (!mTemp || mCommitted)
        return S_OK;
    HRESULT hr = mTemp->Publish();
    if (SUCCEEDED(hr))
        mCommitted = true;
    return hr;
}

HRESULT CFileStream::Revert()
{
    if (!IsWritable())
        return S_OK;
    if (ftruncate(mFd, 0) != 0)
        return STG_E_WRITEFAULT;
    mPosition = 0;
    return S_OK;
}

HRESULT CFileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT CFileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CFileStream::Stat(STATSTG* stat, DWORD flags)
{
    if (!stat)
        return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    struct stat st;
    if (fstat(mFd, &st) != 0)
        return STG_E_READFAULT;
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = ULONGLONG(st.st_size);
    stat->grfMode = IsWritable() ? STGM_READWRITE : STGM_READ;
    if (!(flags & STATFLAG_NONAME)) {
        std::u16string name = lumo::Utf8ToUtf16(mName);
        auto* text = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
        if (!text)
            return E_OUTOFMEMORY;
        std::copy(name.begin(), name.end(), text);
        text[name.size()] = 0;
        stat->pwcsName = text;
    }
    return S_OK;
}

HRESULT CFileStream::Clone(IStream** copy)
{
    if (copy)
        *copy = nullptr;
    return E_NOTIMPL;
}
