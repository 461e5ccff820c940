#include "scene/io/PackedDIB.h"
#include "scene/io/image/Image.h"

#include "platform/text/Utf8.h"

#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
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

bool WriteJpeg100(const std::string& path, const CVImage& image) { return WriteJpeg(path, image, 100); }

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

bool WriteAtomically(const std::string& path, bool (*write)(const std::string&, const CVImage&), const CVImage& image)
{
    namespace fs = std::filesystem;
    fs::path target(path);
    fs::path temp = target.parent_path() / (".~" + target.filename().string() + "." + std::to_string(getpid()));
    std::error_code ec;
    if (!write(temp.string(), image)) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool WriteImageFile(const std::wstring& name, const CVImage& image)
{
    std::wstring ext;
    if (name.size() > 2)
        for (wchar_t c : name.substr(name.size() - 3))
            ext += wchar_t(std::towupper(c));
    bool (*write)(const std::string&, const CVImage&) = WritePng;
    if (ext == L"BMP")
        write = WriteBmp24;
    else if (ext == L"JPG" || ext == L"PEG")
        write = WriteJpeg100;
    else if (ext == L"GIF")
        write = WriteGif;
    else if (ext == L"IFF")
        write = WriteTiff;
    return WriteAtomically(ToUtf8(name), write, image);
}

} // namespace lumo::image
