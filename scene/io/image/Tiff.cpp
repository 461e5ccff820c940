#include "scene/io/image/Image.h"

#include <tiffio.h>

namespace lumo::image {

namespace {
void Silent(const char*, const char*, va_list) {}
struct SilenceTiff {
    SilenceTiff()
    {
        TIFFSetErrorHandler(Silent);
        TIFFSetWarningHandler(Silent);
    }
};
} // namespace

bool ReadTiff(const std::string& path, CVImage& image, std::uint64_t maxPixels)
{
    static SilenceTiff silence;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return false;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    bool ok = SizeAllowed(w, h, maxPixels);
    CVImage out;
    if (ok) {
        std::vector<uint32_t> raster(size_t(w) * h);
        ok = TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0) != 0;
        if (ok) {
            out.width = int(w);
            out.height = int(h);
            out.bgra.resize(raster.size() * 4);
            for (size_t i = 0; i < raster.size(); ++i) {
                uint32_t p = raster[i];
                out.bgra[i * 4] = uint8_t(TIFFGetB(p));
                out.bgra[i * 4 + 1] = uint8_t(TIFFGetG(p));
                out.bgra[i * 4 + 2] = uint8_t(TIFFGetR(p));
                out.bgra[i * 4 + 3] = uint8_t(TIFFGetA(p));
                out.hasAlpha |= TIFFGetA(p) != 255;
            }
        }
    }
    TIFFClose(tif);
    if (ok)
        image = std::move(out);
    return ok;
}

bool WriteTiff(const std::string& path, const CVImage& image)
{
    static SilenceTiff silence;
    if (!image.Valid())
        return false;
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    uint16_t channels = image.hasAlpha ? 4 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(image.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(image.height));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(ORIENTATION_TOPLEFT));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_LZW));
    if (image.hasAlpha) {
        uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &extra);
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    std::vector<uint8_t> row(size_t(image.width) * channels);
    bool ok = true;
    for (int y = 0; y < image.height && ok; ++y) {
        const uint8_t* src = image.Row(y);
        for (int x = 0; x < image.width; ++x) {
            row[size_t(x) * channels] = src[x * 4 + 2];
            row[size_t(x) * channels + 1] = src[x * 4 + 1];
            row[size_t(x) * channels + 2] = src[x * 4];
            if (channels == 4)
                row[size_t(x) * channels + 3] = src[x * 4 + 3];
        }
        ok = TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

} // namespace lumo::image
