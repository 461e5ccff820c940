// A stream over a file. Opened for reading, it reads an existing regular
// file (a link at the last step is refused). Created for writing, it fills a
// temporary file beside the target that Commit moves into place at once;
// released without Commit, nothing reaches the target. After Commit the
// stream can still be read and seeked, not written.
#pragma once

#include "platform/com/Object.h"
#include "platform/com/Stream.h"

#include <memory>
#include <string>

class CTempFile;

class CFileStream : public TObject<IStream> {
public:
    // STG_E_FILENOTFOUND, STG_E_ACCESSDENIED, or STG_E_INVALIDNAME for a link
    // or something that is not a regular file.
    static HRESULT Open(const std::string& path, ComPtr<CFileStream>* out);
    // The same relative to an open folder (storages).
    static HRESULT OpenAt(int folderFd, const std::string& name, ComPtr<CFileStream>* out);
    static HRESULT Create(const std::string& path, ComPtr<CFileStream>* out);
    static HRESULT CreateIn(const std::string& folder, const std::string& name, ComPtr<CFileStream>* out);
    ~CFileStream() override;

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT SetSize(ULARGE_INTEGER size) override;
    HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override;
    // Publishes a created stream; S_OK and nothing to do for a read stream.
    HRESULT Commit(DWORD flags) override;
    // Drops what a created stream has written since it was created.
    HRESULT Revert() override;
    HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT Stat(STATSTG* stat, DWORD flags) override;
    HRESULT Clone(IStream** copy) override;

    bool IsWritable() const { return mTemp && !mCommitted; }

protected:
    CFileStream(int fd, std::unique_ptr<CTempFile> temp, std::string name);

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    int mFd;
    std::unique_ptr<CTempFile> mTemp; // set for created streams
    std::string mName;
    ULONGLONG mPosition = 0;
    bool mCommitted = false;
};
