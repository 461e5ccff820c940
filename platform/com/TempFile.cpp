#include "platform/com/TempFile.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

HRESULT CTempFile::Create(const std::string& folder, const std::string& finalName, unsigned mode,
                          std::unique_ptr<CTempFile>* out)
{
    out->reset();
    if (finalName.empty() || finalName.find('/') != std::string::npos || finalName == "." || finalName == "..")
        return STG_E_INVALIDNAME;
    std::string pattern = folder + "/." + finalName + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EPERM || errno == EROFS ? STG_E_ACCESSDENIED : STG_E_WRITEFAULT;
    if (fchmod(fd, mode) != 0) {
        unlink(buffer.data());
        close(fd);
        return STG_E_WRITEFAULT;
    }
    out->reset(new CTempFile(fd, buffer.data(), folder + "/" + finalName));
    return S_OK;
}

CTempFile::CTempFile(int fd, std::string tempPath, std::string finalPath)
    : mFd(fd), mTempPath(std::move(tempPath)), mFinalPath(std::move(finalPath))
{
}

CTempFile::~CTempFile()
{
    if (!mPublished)
        unlink(mTempPath.c_str());
    close(mFd);
}

HRESULT CTempFile::WriteAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = write(mFd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return errno == ENOSPC ? STG_E_MEDIUMFULL : STG_E_WRITEFAULT;
        bytes.remove_prefix(std::size_t(n));
    }
    return S_OK;
}

HRESULT CTempFile::Publish()
{
    if (mPublished)
        return S_OK;
    if (fsync(mFd) != 0)
        return STG_E_WRITEFAULT;
    if (rename(mTempPath.c_str(), mFinalPath.c_str()) != 0)
        return errno == EACCES || errno == EPERM ? STG_E_ACCESSDENIED : STG_E_WRITEFAULT;
    mPublished = true;
    return S_OK;
}
