#include "scene/io/PackedDIB.h"
#include "scene/io/image/Image.h"

#include "platform/text/Utf8.h"

#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::image {

namespace {

bool ReadBmp(const std::string& path, CVImage& image, std::uint64_t maxPixels)
{
    HDIB dib = OpenDIB(FromUtf8(path));
    CVImage out;
    bool ok = dib && lumo::dib::ToImage(dib, out) &&
              SizeAllowed(std::uint64_t(out.width), std::uint64_t(out.height), maxPixels);
    GlobalFreeDIB(dib);
    if (ok)
        image = std::move(out);
    return ok;
}

bool WriteBmp24(const std::string& path, const CVImage& image)
{
    HDIB dib = lumo::dib::FromImage(image, 24);
    bool ok = dib && lumo::dib::WriteBMP(path, dib);
    GlobalFreeDIB(dib);
    return ok;
}

} // namespace

bool ReadImageFile(const std::string& path, CVImage& image, std::uint64_t maxPixels)
{
    unsigned char magic[8] = {0};
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return false;
        in.read(reinterpret_cast<char*>(magic), sizeof magic);
    }
    if (magic[0] == 0x89 && magic[1] == 'P' && magic[2] == 'N' && magic[3] == 'G')
        return ReadPng(path, image, maxPixels);
    if (magic[0] == 0xFF && magic[1] == 0xD8)
        return ReadJpeg(path, image, maxPixels);
    if (magic[0] == 'G' && magic[1] == 'I' && magic[2] == 'F')
        return ReadGif(path, image, maxPixels);
    if ((magic[0] == 'I' && magic[1] == 'I') || (magic[0] == 'M' && magic[1] == 'M'))
        return ReadTiff(path, image, maxPixels);
    if (magic[0] == 'B' && magic[1] == 'M')
        return ReadBmp(path, image, maxPixels);
    return false;
}

bool WriteAtomically(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    namespace fs = std::filesystem;
    fs::path target(path);
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::string pattern = (folder / (".~" + target.filename().string() + ".XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        return false;
    fs::path temp = fs::path(pattern) / target.filename();
    std::error_code ec;
    bool ok = write(temp.string());
    if (ok) {
        // The file keeps the permissions an ordinary new file gets.
        mode_t mask = umask(0);
        umask(mask);
        fs::permissions(temp, static_cast<fs::perms>(0666 & ~mask), ec);
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    fs::remove_all(pattern, ec);
    return ok;
}

bool WriteImageFile(const std::wstring& name, const CVImage& image, const WriteOptions& options)
{
    std::wstring ext;
    if (name.size() > 2)
        for (wchar_t c : name.substr(name.size() - 3))
            ext += wchar_t(std::towupper(c));
    std::function<bool(const std::string&)> write = [&](const std::string& path) {
        return WritePng(path, image, options.pngCompression);
    };
    if (ext == L"BMP")
        write = [&](const std::string& path) { return WriteBmp24(path, image); };
    else if (ext == L"JPG" || ext == L"PEG")
        write = [&](const std::string& path) { return WriteJpeg(path, image, 100); };
    else if (ext == L"GIF")
        write = [&](const std::string& path) { return WriteGif(path, image); };
    else if (ext == L"IFF")
        write = [&](const std::string& path) { return WriteTiff(path, image); };
    return WriteAtomically(ToUtf8(name), write);
}

} // namespace lumo::image
