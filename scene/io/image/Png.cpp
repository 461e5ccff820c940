#include "scene/io/image/Image.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

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

bool WritePng(const std::string& path, const CVImage& image, int compression)
{
    if (!image.Valid())
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    // Declared before the jump point: setjmp must not skip their lifetimes.
    std::vector<std::uint8_t> row;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_compression_level(png, compression < 0 ? 0 : compression > 9 ? 9 : compression);
        // The sub filter alone: rendered charts are runs of flat colour, which
        // it turns into runs of zeros; trying every filter costs more than it saves.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, compression >= 6 ? PNG_ALL_FILTERS : PNG_FILTER_SUB);
        int channels = image.hasAlpha ? 4 : 3;
        png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                     image.hasAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(png, info);
        row.resize(size_t(image.width) * size_t(channels));
        for (int y = 0; y < image.height; ++y) {
            const std::uint8_t* p = image.Row(y);
            for (int x = 0; x < image.width; ++x) {
                std::uint8_t* q = row.data() + size_t(x) * size_t(channels);
                q[0] = p[x * 4 + 2];
                q[1] = p[x * 4 + 1];
                q[2] = p[x * 4];
                if (channels == 4)
                    q[3] = p[x * 4 + 3];
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

} // namespace lumo::image
