#include "scene/io/image/Image.h"

#include <gif_lib.h>

#include <unordered_map>

namespace lumo::image {

bool ReadGif(const std::string& path, CVImage& image, std::uint64_t maxPixels)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return false;
    bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0 && gif->SWidth > 0 && gif->SHeight > 0 &&
              SizeAllowed(std::uint64_t(gif->SWidth), std::uint64_t(gif->SHeight), maxPixels);
    CVImage out;
    if (ok) {
        const SavedImage& frame = gif->SavedImages[0];
        const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        int transparent = -1;
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
        out.width = gif->SWidth;
        out.height = gif->SHeight;
        out.bgra.assign(size_t(out.width) * size_t(out.height) * 4, 0);
        const GifImageDesc& d = frame.ImageDesc;
        ok = map != nullptr && frame.RasterBits != nullptr;
        for (int y = 0; ok && y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                int tx = d.Left + x, ty = d.Top + y;
                if (tx < 0 || ty < 0 || tx >= out.width || ty >= out.height)
                    continue;
                int index = frame.RasterBits[size_t(y) * size_t(d.Width) + size_t(x)];
                uint8_t* p = out.Row(ty) + tx * 4;
                if (index == transparent || index >= map->ColorCount) {
                    out.hasAlpha = true;
                    continue;
                }
                const GifColorType& c = map->Colors[index];
                p[0] = c.Blue;
                p[1] = c.Green;
                p[2] = c.Red;
                p[3] = 255;
            }
    }
    DGifCloseFile(gif, &error);
    if (ok)
        image = std::move(out);
    return ok;
}

namespace {

// An exact palette when the image has at most 256 colours (charts usually
// do); false when it has more.
bool ExactPalette(const CVImage& image, std::vector<GifByteType>& indices, GifColorType palette[256])
{
    std::unordered_map<uint32_t, GifByteType> seen;
    for (size_t i = 0; i < indices.size(); ++i) {
        const uint8_t* p = image.bgra.data() + i * 4;
        uint32_t key = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        auto it = seen.find(key);
        if (it == seen.end()) {
            if (seen.size() == 256)
                return false;
            auto index = GifByteType(seen.size());
            palette[index] = GifColorType{p[2], p[1], p[0]};
            it = seen.emplace(key, index).first;
        }
        indices[i] = it->second;
    }
    for (size_t k = seen.size(); k < 256; ++k)
        palette[k] = GifColorType{0, 0, 0};
    return true;
}

} // namespace

bool WriteGif(const std::string& path, const CVImage& image)
{
    if (!image.Valid())
        return false;
    size_t n = size_t(image.width) * size_t(image.height);
    std::vector<GifByteType> indices(n);
    GifColorType palette[256];
    if (!ExactPalette(image, indices, palette)) {
        // More colours than a palette holds: median-cut quantisation.
        std::vector<GifByteType> r(n), g(n), b(n);
        for (size_t i = 0; i < n; ++i) {
            b[i] = image.bgra[i * 4];
            g[i] = image.bgra[i * 4 + 1];
            r[i] = image.bgra[i * 4 + 2];
        }
        int colors = 256;
        if (GifQuantizeBuffer(unsigned(image.width), unsigned(image.height), &colors, r.data(), g.data(), b.data(),
                              indices.data(), palette) != GIF_OK)
            return false;
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(256, palette);
    bool ok = map && EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height; ++y)
        ok = EGifPutLine(gif, indices.data() + size_t(y) * size_t(image.width), image.width) == GIF_OK;
    if (map)
        GifFreeMapObject(map);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    return ok;
}

} // namespace lumo::image
