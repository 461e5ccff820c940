#include "scene/io/image/Image.h"

#include <png.h>

#include <cstdio>

namespace lumo::image {

bool ReadPng(const std::string& path, CVImage& image, std::uint64_t maxPixels)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    // The file's own format tells about transparency: an alpha channel or a
    // tRNS chunk sets the alpha flag. Asked for BGRA, every image has one.
    bool fileHasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_BGRA;
    if (!SizeAllowed(png.width, png.height, maxPixels)) {
        png_image_free(&png);
        return false;
    }
    CVImage out;
    out.width = int(png.width);
    out.height = int(png.height);
    out.hasAlpha = fileHasAlpha;
    out.bgra.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, out.bgra.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    image = std::move(out);
    return true;
}

bool WritePng(const std::string& path, const CVImage& image)
{
    if (!image.Valid())
        return false;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_BGRA;
    if (!image.hasAlpha) {
        // Opaque images are written without an alpha channel.
        std::vector<std::uint8_t> bgr(size_t(image.width) * size_t(image.height) * 3);
        for (size_t i = 0, j = 0; i < image.bgra.size(); i += 4, j += 3) {
            bgr[j] = image.bgra[i];
            bgr[j + 1] = image.bgra[i + 1];
            bgr[j + 2] = image.bgra[i + 2];
        }
        png.format = PNG_FORMAT_BGR;
        return png_image_write_to_file(&png, path.c_str(), 0, bgr.data(), 0, nullptr) != 0;
    }
    return png_image_write_to_file(&png, path.c_str(), 0, image.bgra.data(), 0, nullptr) != 0;
}

} // namespace lumo::image
