// A storage kept as a folder: each stream is a file named after it. Streams
// are created transacted: they reach their file when the stream or the
// storage is committed, and a storage released without Commit leaves the
// folder as it was. Stream names are 1 to 31 UTF-16 code units without
// control characters, "/", "\", ":" or "!", not starting with "." (those
// names are the storage's own: ".clsid", temporary files). Only streams are
// supported: nested storages, copying, moving, enumeration, element times
// and state bits answer STG_E_INVALIDFUNCTION.
#pragma once

#include "platform/com/FileStream.h"
#include "platform/com/Object.h"
#include "platform/com/Storage.h"

#include <string>
#include <vector>

class CFolderStorage : public TObject<IStorage> {
public:
    // Opens the folder (a link is refused); with STGM_CREATE in `mode` it is
    // created when missing (mode 0700).
    static HRESULT Open(const std::string& path, DWORD mode, ComPtr<IStorage>* out);
    ~CFolderStorage() override;

    // STG_E_FILEALREADYEXISTS for an existing stream unless mode has STGM_CREATE.
    HRESULT CreateStream(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2, IStream** stream) override;
    // Read access only (STG_E_INVALIDFLAG for write modes).
    HRESULT OpenStream(LPCOLESTR name, void* reserved1, DWORD mode, DWORD reserved2, IStream** stream) override;
    HRESULT CreateStorage(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2, IStorage** storage) override;
    HRESULT OpenStorage(LPCOLESTR name, IStorage* priority, DWORD mode, LPOLESTR* exclude, DWORD reserved,
                        IStorage** storage) override;
    HRESULT CopyTo(DWORD excludeCount, const IID* excludeIids, LPOLESTR* excludeNames, IStorage* target) override;
    HRESULT MoveElementTo(LPCOLESTR name, IStorage* target, LPCOLESTR newName, DWORD flags) override;
    HRESULT Commit(DWORD flags) override;
    HRESULT Revert() override;
    HRESULT EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** elements) override;
    HRESULT DestroyElement(LPCOLESTR name) override;
    HRESULT RenameElement(LPCOLESTR oldName, LPCOLESTR newName) override;
    HRESULT SetElementTimes(LPCOLESTR name, const FILETIME* created, const FILETIME* accessed,
                            const FILETIME* modified) override;
    // Written at once to ".clsid" in the folder; Stat reads it back.
    HRESULT SetClass(const CLSID& clsid) override;
    HRESULT SetStateBits(DWORD bits, DWORD mask) override;
    HRESULT Stat(STATSTG* stat, DWORD flags) override;

protected:
    CFolderStorage(int fd, std::string path);

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    int mFd;
    std::string mPath;
    std::vector<ComPtr<CFileStream>> mPending; // created, not yet committed
};

namespace lumo {

// The file name for a stream name, or "" when the name is not allowed.
std::string StorageElementFileName(LPCOLESTR name);

} // namespace lumo
