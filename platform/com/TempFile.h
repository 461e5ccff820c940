// A file written beside its final name and moved into place in one step,
// so that readers see the old content or the new, never a part. The
// temporary name is unpredictable (mkstemp); a file never published is
// removed.
#pragma once

#include "platform/win/WinTypes.h"

#include <memory>
#include <string>
#include <string_view>

class CTempFile {
public:
    // folder must exist; finalName is a plain name inside it. The file gets
    // exactly `mode` (the umask does not apply).
    static HRESULT Create(const std::string& folder, const std::string& finalName, unsigned mode,
                          std::unique_ptr<CTempFile>* out);
    ~CTempFile();
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    int Fd() const { return mFd; }
    HRESULT WriteAll(std::string_view bytes);
    // Flushes to disk and renames onto the final name (replacing a file or a
    // link there, never writing through it). The descriptor stays open.
    HRESULT Publish();
    bool IsPublished() const { return mPublished; }

private:
    CTempFile(int fd, std::string tempPath, std::string finalPath);

    int mFd;
    std::string mTempPath;
    std::string mFinalPath;
    bool mPublished = false;
};
