#include "tests/support/TempImages.h"

#include "platform/text/Utf8.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace lumo::test {

CVImage MakeImage(int width, int height, const std::function<Bgra(int x, int y)>& colour)
{
    CVImage image;
    image.width = width;
    image.height = height;
    image.bgra.resize(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Bgra c = colour(x, y);
            std::uint8_t* p = image.Row(y) + x * 4;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
            p[3] = c.a;
            image.hasAlpha = image.hasAlpha || c.a != 255;
        }
    return image;
}

TempImages::TempImages()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumo_textures_XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    mDir = pattern;
}

TempImages::~TempImages()
{
    std::error_code ec;
    std::filesystem::remove_all(mDir, ec);
}

std::wstring TempImages::WPath(const std::string& name) const { return lumo::FromUtf8(Path(name)); }

std::wstring TempImages::Png(const std::string& name, const CVImage& image) const
{
    if (!lumo::image::WritePng(Path(name), image))
        throw std::runtime_error("cannot write " + name);
    return WPath(name);
}

std::wstring TempImages::Bytes(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(Path(name), std::ios::binary);
    out << bytes;
    return WPath(name);
}

} // namespace lumo::test
