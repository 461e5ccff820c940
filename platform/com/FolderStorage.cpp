#include "platform/com/FolderStorage.h"

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/TempFile.h"
#include "platform/com/TrustedFiles.h"
#include "platform/com/Utf16.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxElementName = 31;
const char kClassFile[] = ".clsid";

bool Exists(int folderFd, const std::string& name)
{
    struct stat st;
    return fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace

std::string lumo::StorageElementFileName(LPCOLESTR name)
{
    if (!name)
        return std::string();
    std::u16string text;
    for (std::size_t i = 0; name[i]; ++i) {
        char16_t c = name[i];
        if (i >= kMaxElementName || c < 0x20 || c == 0x7F || c == u'/' || c == u'\\' || c == u':' || c == u'!')
            return std::string();
        text += c;
    }
    if (text.empty() || text[0] == u'.')
        return std::string();
    // Unpaired surrogates would not survive the trip to a file name.
    std::string file = Utf16ToUtf8(text);
    if (Utf8ToUtf16(file) != text)
        return std::string();
    return file;
}

HRESULT CFolderStorage::Open(const std::string& path, DWORD mode, ComPtr<IStorage>* out)
{
    if (!out)
        return STG_E_INVALIDPOINTER;
    out->Reset();
    if (path.empty())
        return STG_E_INVALIDNAME;
    if ((mode & STGM_CREATE) && mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno == EACCES || errno == EPERM || errno == EROFS ? STG_E_ACCESSDENIED : STG_E_FILENOTFOUND;
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT: return STG_E_FILENOTFOUND;
        case EACCES: return STG_E_ACCESSDENIED;
        default: return STG_E_INVALIDNAME; // a link or not a folder
        }
    }
    try {
        *out = MakeObject<CFolderStorage>(fd, path);
    } catch (...) {
        close(fd);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

CFolderStorage::CFolderStorage(int fd, std::string path) : mFd(fd), mPath(std::move(path)) {}

CFolderStorage::~CFolderStorage()
{
    // Uncommitted streams still held elsewhere stay writable but never reach
    // the folder unless committed themselves.
    mPending.clear();
    close(mFd);
}

HRESULT CFolderStorage::CreateStream(LPCOLESTR name, DWORD mode, DWORD, DWORD, IStream** stream)
{
    if (!stream)
        return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    std::string file = lumo::StorageElementFileName(name);
    if (file.empty())
        return STG_E_INVALIDNAME;
    if (!(mode & STGM_CREATE) && Exists(mFd, file))
        return STG_E_FILEALREADYEXISTS;
    ComPtr<CFileStream> created;
    HRESULT hr = CFileStream::CreateIn(mPath, file, &created);
    if (FAILED(hr))
        return hr;
    try {
        mPending.push_back(created);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *stream = created.Detach();
    return S_OK;
}

HRESULT CFolderStorage::OpenStream(LPCOLESTR name, void*, DWORD mode, DWORD, IStream** stream)
{
    if (!stream)
        return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    if (mode & (STGM_WRITE | STGM_READWRITE))
        return STG_E_INVALIDFLAG;
    std::string file = lumo::StorageElementFileName(name);
    if (file.empty())
        return STG_E_INVALIDNAME;
    ComPtr<CFileStream> opened;
    HRESULT hr = CFileStream::OpenAt(mFd, file, &opened);
    if (FAILED(hr))
        return hr;
    *stream = opened.Detach();
    return S_OK;
}

HRESULT CFolderStorage::CreateStorage(LPCOLESTR, DWORD, DWORD, DWORD, IStorage** storage)
{
    if (storage)
        *storage = nullptr;
    return STG_E_INVALIDFUNCTION;
}

HRESULT CFolderStorage::OpenStorage(LPCOLESTR, IStorage*, DWORD, LPOLESTR*, DWORD, IStorage** storage)
{
    if (storage)
        *storage = nullptr;
    return STG_E_INVALIDFUNCTION;
}

HRESULT CFolderStorage::CopyTo(DWORD, const IID*, LPOLESTR*, IStorage*) { return STG_E_INVALIDFUNCTION; }

HRESULT CFolderStorage::MoveElementTo(LPCOLESTR, IStorage*, LPCOLESTR, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CFolderStorage::Commit(DWORD flags)
{
    HRESULT result = S_OK;
    for (auto& stream : mPending) {
        HRESULT hr = stream->Commit(flags);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    mPending.clear();
    return result;
}

HRESULT CFolderStorage::Revert()
{
    for (auto& stream : mPending)
        stream->Revert();
    mPending.clear();
    return S_OK;
}

HRESULT CFolderStorage::EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** elements)
{
    if (elements)
        *elements = nullptr;
    return STG_E_INVALIDFUNCTION;
}

HRESULT CFolderStorage::DestroyElement(LPCOLESTR name)
{
    std::string file = lumo::StorageElementFileName(name);
    if (file.empty())
        return STG_E_INVALIDNAME;
    if (unlinkat(mFd, file.c_str(), 0) != 0)
        return errno == ENOENT ? STG_E_FILENOTFOUND : STG_E_ACCESSDENIED;
    return S_OK;
}

HRESULT CFolderStorage::RenameElement(LPCOLESTR oldName, LPCOLESTR newName)
{
    std::string from = lumo::StorageElementFileName(oldName);
    std::string to = lumo::StorageElementFileName(newName);
    if (from.empty() || to.empty())
        return STG_E_INVALIDNAME;
    if (!Exists(mFd, from))
        return STG_E_FILENOTFOUND;
    if (Exists(mFd, to))
        return STG_E_FILEALREADYEXISTS;
    if (renameat(mFd, from.c_str(), mFd, to.c_str()) != 0)
        return STG_E_ACCESSDENIED;
    return S_OK;
}

HRESULT CFolderStorage::SetElementTimes(LPCOLESTR, const FILETIME*, const FILETIME*, const FILETIME*)
{
    return STG_E_INVALIDFUNCTION;
}

HRESULT CFolderStorage::SetClass(const CLSID& clsid)
{
    std::unique_ptr<CTempFile> file;
    HRESULT hr = CTempFile::Create(mPath, kClassFile, 0644, &file);
    if (SUCCEEDED(hr))
        hr = file->WriteAll(lumo::FormatGuid(clsid));
    if (SUCCEEDED(hr))
        hr = file->Publish();
    return hr;
}

HRESULT CFolderStorage::SetStateBits(DWORD, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CFolderStorage::Stat(STATSTG* stat, DWORD flags)
{
    if (!stat)
        return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STORAGE;
    stat->grfMode = STGM_READWRITE;
    std::string text;
    if (lumo::ReadTrustedFile(mFd, kClassFile, 64, &text) == lumo::FileCheck::Ok)
        lumo::ParseGuid(text, &stat->clsid);
    if (!(flags & STATFLAG_NONAME)) {
        std::size_t slash = mPath.find_last_of('/');
        std::u16string name = lumo::Utf8ToUtf16(slash == std::string::npos ? mPath : mPath.substr(slash + 1));
        auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
        if (!out)
            return E_OUTOFMEMORY;
        std::copy(name.begin(), name.end(), out);
        out[name.size()] = 0;
        stat->pwcsName = out;
    }
    return S_OK;
}
