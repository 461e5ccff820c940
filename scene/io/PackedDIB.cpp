#include "scene/io/PackedDIB.h"

#include "platform/text/Utf8.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace {

// Images beyond this many pixels are refused: a lying header must not make
// the reader allocate without bound.
const long long kMaxPixels = 1LL << 28;

BITMAPINFOHEADER* Header(HDIB dib)
{
    if (!dib || GlobalSize(dib) < sizeof(BITMAPINFOHEADER))
        return nullptr;
    return static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
}

template <class T>
T ReadLE(const unsigned char* p)
{
    T v{};
    std::memcpy(&v, p, sizeof(T));
    return v;
}

// Extracts a channel by mask and scales it to a byte.
unsigned char ByMask(unsigned value, unsigned mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    unsigned bits = mask >> shift;
    return static_cast<unsigned char>(((value & mask) >> shift) * 255u / bits);
}

int LargestPowerOfTwoNotAbove(int n, int limitBits)
{
    if (n <= 0)
        return 0;
    int p = 1;
    for (int b = 0; b < limitBits && (p << 1) <= n; ++b)
        p <<= 1;
    return p;
}

HBITMAP NewSquare(HBITMAP& bitmap, int side, void** bits)
{
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = CreateBitmap32(side, side);
    if (bits)
        *bits = bitmap ? bitmap->bits.data() : nullptr;
    return bitmap;
}

} // namespace

namespace lumo::dib {

int TextureSide(int width, int height)
{
    int s = LargestPowerOfTwoNotAbove(std::max(width, height), 16);
    return std::clamp(s, 64, 512);
}

CVImage FromBitmap(HBITMAP bitmap)
{
    CVImage image;
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0)
        return image;
    image.width = bitmap->width;
    image.height = bitmap->height;
    image.bgra.resize(bitmap->bits.size());
    size_t row = size_t(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.Row(y), bitmap->bits.data() + size_t(image.height - 1 - y) * row, row);
    for (size_t i = 3; i < image.bgra.size(); i += 4)
        image.bgra[i] = 255; // device bitmaps carry no alpha
    return image;
}

void ToBitmap(const CVImage& image, HBITMAP bitmap)
{
    if (!bitmap || bitmap->width != image.width || bitmap->height != image.height || !image.Valid())
        return;
    size_t row = size_t(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(bitmap->bits.data() + size_t(image.height - 1 - y) * row, image.Row(y), row);
}

void Stretch(const CVImage& src, int sx, int sy, int sw, int sh, CVImage& dst, int x, int y, int w, int h,
             bool smooth)
{
    if (!src.Valid() || !dst.Valid() || sw <= 0 || sh <= 0 || w <= 0 || h <= 0)
        return;
    for (int dy = std::max(0, -y); dy < h && y + dy < dst.height; ++dy) {
        unsigned char* out = dst.Row(y + dy);
        for (int dx = std::max(0, -x); dx < w && x + dx < dst.width; ++dx) {
            unsigned char* p = out + (x + dx) * 4;
            if (!smooth) {
                int px = sx + int((long long)dx * sw / w), py = sy + int((long long)dy * sh / h);
                if (px < 0 || py < 0 || px >= src.width || py >= src.height)
                    continue;
                std::memcpy(p, src.Row(py) + px * 4, 4);
                continue;
            }
            // Average the source pixels this destination pixel covers.
            int x0 = sx + int((long long)dx * sw / w), x1 = std::max(x0 + 1, sx + int((long long)(dx + 1) * sw / w));
            int y0 = sy + int((long long)dy * sh / h), y1 = std::max(y0 + 1, sy + int((long long)(dy + 1) * sh / h));
            x0 = std::max(x0, 0);
            y0 = std::max(y0, 0);
            x1 = std::min(x1, src.width);
            y1 = std::min(y1, src.height);
            unsigned sum[4] = {0, 0, 0, 0}, n = 0;
            for (int yy = y0; yy < y1; ++yy)
                for (int xx = x0; xx < x1; ++xx, ++n)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += src.Row(yy)[xx * 4 + c];
            if (n)
                for (int c = 0; c < 4; ++c)
                    p[c] = static_cast<unsigned char>((sum[c] + n / 2) / n);
        }
    }
}

bool ToImage(HDIB dib, CVImage& image)
{
    const BITMAPINFOHEADER* h = Header(dib);
    if (!h || h->biSize < sizeof(BITMAPINFOHEADER) || h->biWidth <= 0 || h->biHeight == 0)
        return false;
    if (h->biCompression != BI_RGB && h->biCompression != BI_BITFIELDS)
        return false;
    int bits = h->biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    long long width = h->biWidth, height = h->biHeight < 0 ? -(long long)h->biHeight : h->biHeight;
    if (width * height > kMaxPixels)
        return false;
    const auto* base = reinterpret_cast<const unsigned char*>(h);
    size_t total = GlobalSize(dib);
    size_t tableOffset = h->biSize;
    size_t pixelOffset = h->biSize + ColorTableSize(h);
    long long rowBytes = DIBRowBytes(width, bits);
    if (pixelOffset > total || (unsigned long long)(rowBytes * height) > total - pixelOffset)
        return false;

    unsigned masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (h->biCompression == BI_BITFIELDS && (bits == 16 || bits == 32))
        for (int i = 0; i < 3; ++i)
            masks[i] = ReadLE<unsigned>(base + tableOffset + size_t(i) * 4);
    size_t colors = bits <= 8 ? (ColorTableSize(h) / 4) : 0;

    CVImage out;
    out.width = int(width);
    out.height = int(height);
    out.bgra.assign(size_t(width * height) * 4, 255);
    bool topDown = h->biHeight < 0;
    for (long long row = 0; row < height; ++row) {
        const unsigned char* src = base + pixelOffset + size_t(row * rowBytes);
        unsigned char* dst = out.Row(int(topDown ? row : height - 1 - row));
        for (long long x = 0; x < width; ++x, dst += 4) {
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                unsigned perByte = 8 / unsigned(bits);
                unsigned byte = src[x / perByte];
                unsigned shift = unsigned(8 - bits) - unsigned(x % perByte) * unsigned(bits);
                size_t index = (byte >> shift) & ((1u << bits) - 1);
                if (index < colors) {
                    const unsigned char* q = base + tableOffset + index * 4;
                    dst[0] = q[0], dst[1] = q[1], dst[2] = q[2];
                } else {
                    dst[0] = dst[1] = dst[2] = 0;
                }
                break;
            }
            case 16: {
                unsigned v = ReadLE<unsigned short>(src + x * 2);
                dst[0] = ByMask(v, masks[2]), dst[1] = ByMask(v, masks[1]), dst[2] = ByMask(v, masks[0]);
                break;
            }
            case 24:
                dst[0] = src[x * 3], dst[1] = src[x * 3 + 1], dst[2] = src[x * 3 + 2];
                break;
            case 32: {
                unsigned v = ReadLE<unsigned>(src + x * 4);
                dst[0] = ByMask(v, masks[2]), dst[1] = ByMask(v, masks[1]), dst[2] = ByMask(v, masks[0]);
                break;
            }
            }
        }
    }
    image = std::move(out);
    return true;
}

HDIB FromImage(const CVImage& image, int bits)
{
    if (!image.Valid() || (bits != 24 && bits != 32))
        return nullptr;
    HDIB dib = CreateRGBDIB(image.width, image.height, bits, BI_RGB);
    BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return nullptr;
    auto* pixels = reinterpret_cast<unsigned char*>(h) + h->biSize + ColorTableSize(h);
    long long rowBytes = DIBRowBytes(image.width, bits);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* src = image.Row(image.height - 1 - y);
        unsigned char* dst = pixels + size_t(y * rowBytes);
        for (int x = 0; x < image.width; ++x)
            std::memcpy(dst + x * (bits / 8), src + x * 4, size_t(bits / 8));
    }
    return dib;
}

bool WriteBMP(const std::string& path, HDIB dib)
{
    const BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return false;
    HDIB converted = nullptr;
    if (!(h->biBitCount == 24 && h->biCompression == BI_RGB)) {
        CVImage image;
        if (!ToImage(dib, image) || !(converted = FromImage(image, 24)))
            return false;
        h = Header(converted);
    }
    HDIB block = converted ? converted : dib;
    size_t size = GlobalSize(block);
    unsigned char file[14] = {'B', 'M'};
    DWORD fileSize = DWORD(14 + size), offset = DWORD(14 + h->biSize + ColorTableSize(h));
    std::memcpy(file + 2, &fileSize, 4);
    std::memcpy(file + 10, &offset, 4);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file), 14);
    out.write(static_cast<const char*>(GlobalLock(block)), std::streamsize(size));
    bool ok = bool(out);
    out.close();
    if (converted)
        GlobalFree(converted);
    return ok && !out.fail();
}

} // namespace lumo::dib

HGLOBAL GlobalFreeDIB(HDIB dib) { return GlobalFree(dib); }

HDIB CreateRGBDIB(int width, int height, int bits, DWORD compression)
{
    if ((bits != 8 && bits != 16 && bits != 24 && bits != 32) || compression == BI_RLE8 || compression == BI_RLE4)
        return nullptr;
    if (width <= 0 || height <= 0 || (long long)width * height > kMaxPixels)
        return nullptr;
    long long image = DIBRowBytes(width, bits) * height;
    size_t table = bits == 8 ? 256 * 4 : 0;
    if (compression == BI_BITFIELDS)
        table = bits == 8 ? 12 + 256 * 4 : 12;
    HDIB dib = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + table + size_t(image));
    BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return nullptr;
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = WORD(bits);
    h->biCompression = compression;
    h->biSizeImage = DWORD(image);
    if (compression == BI_BITFIELDS && (bits == 16 || bits == 32)) {
        const DWORD masks16[3] = {0xF800, 0x07E0, 0x001F}, masks32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        std::memcpy(reinterpret_cast<unsigned char*>(h) + sizeof(BITMAPINFOHEADER), bits == 16 ? masks16 : masks32, 12);
    }
    return dib;
}

DWORD ColorTableSize(const BITMAPINFOHEADER* h)
{
    if (!h)
        return 0;
    if (h->biSize == 12) { // core header: 3-byte entries
        WORD bits = reinterpret_cast<const WORD*>(h)[5];
        return bits <= 8 ? 3u * (1u << bits) : 0;
    }
    DWORD bits = h->biBitCount;
    DWORD used = h->biClrUsed;
    if (h->biCompression == BI_BITFIELDS)
        return used ? 12 + 4 * used : (bits <= 8 ? 12 + 4 * (1u << bits) : 12);
    return used ? 4 * used : (bits <= 8 ? 4 * (1u << bits) : 0);
}

DWORD ColorTableSize(HDIB dib) { return ColorTableSize(Header(dib)); }

HDIB DIBFromBitmap(HBITMAP bitmap, DWORD compression, WORD bits, HPALETTE)
{
    if (!bitmap)
        return nullptr;
    if (bits == 0)
        bits = 32;
    CVImage image = lumo::dib::FromBitmap(bitmap);
    if (bits == 24 || bits == 32)
        return lumo::dib::FromImage(image, bits);
    if (bits != 16)
        return nullptr;
    HDIB dib = CreateRGBDIB(image.width, image.height, 16, compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB);
    BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return nullptr;
    auto* pixels = reinterpret_cast<unsigned char*>(h) + h->biSize + ColorTableSize(h);
    long long rowBytes = DIBRowBytes(image.width, 16);
    bool rgb565 = compression == BI_BITFIELDS;
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* src = image.Row(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            unsigned b = src[x * 4], g = src[x * 4 + 1], r = src[x * 4 + 2];
            unsigned short v = rgb565 ? static_cast<unsigned short>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))
                                      : static_cast<unsigned short>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
            std::memcpy(pixels + size_t(y * rowBytes) + size_t(x) * 2, &v, 2);
        }
    }
    return dib;
}

BOOL StretchDIBBlt(HDC dc, int x, int y, int w, int h, HDIB dib, int sx, int sy, int sw, int sh, DWORD rop)
{
    if (!dc || !dc->bitmap || w <= 0 || h <= 0)
        return 0;
    CVImage target = lumo::dib::FromBitmap(dc->bitmap);
    if (!dib) {
        const DWORD BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062, PATCOPY = 0x00F00021;
        if (rop != BLACKNESS && rop != WHITENESS && rop != PATCOPY)
            return 1;
        unsigned char v = rop == BLACKNESS ? 0 : 255; // the default brush is white
        for (int yy = std::max(0, y); yy < std::min(target.height, y + h); ++yy)
            for (int xx = std::max(0, x); xx < std::min(target.width, x + w); ++xx)
                std::memset(target.Row(yy) + xx * 4, v, 3);
    } else {
        CVImage source;
        if (!lumo::dib::ToImage(dib, source))
            return 0;
        lumo::dib::Stretch(source, sx, sy, sw, sh, target, x, y, w, h, false);
    }
    lumo::dib::ToBitmap(target, dc->bitmap);
    return 1;
}

namespace {

// Replaces 'bitmap' by a new square one of side 'side' drawn by 'draw'.
template <class Draw>
BOOL MakeTexture(HDIB dib, HBITMAP& bitmap, int side, int& outSide, void** bits, Draw draw)
{
    CVImage source;
    if (!lumo::dib::ToImage(dib, source) || side <= 0)
        return 0;
    if (!NewSquare(bitmap, side, bits))
        return 0;
    outSide = side;
    CVImage target;
    target.width = target.height = side;
    target.bgra.assign(size_t(side) * size_t(side) * 4, 255);
    draw(source, target);
    lumo::dib::ToBitmap(target, bitmap);
    return 1;
}

} // namespace

BOOL ScaleDIB(HDC, HDIB dib, HBITMAP& bitmap, int& side, void** bits)
{
    const BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return 0;
    int s = lumo::dib::TextureSide(h->biWidth, std::abs(h->biHeight));
    return MakeTexture(dib, bitmap, s, side, bits, [&](const CVImage& src, CVImage& dst) {
        lumo::dib::Stretch(src, 0, 0, src.width, src.height, dst, 0, 0, s, s, false);
    });
}

BOOL TileDIB(HDC, HDIB dib, HBITMAP& bitmap, int& side, void** bits, int mode)
{
    const BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return 0;
    int s = mode == 2 ? 512 : lumo::dib::TextureSide(h->biWidth, std::abs(h->biHeight));
    return MakeTexture(dib, bitmap, s, side, bits, [&](const CVImage& src, CVImage& dst) {
        int columns = std::max(1, int(double(s) / src.width + 0.5));
        int rows = std::max(1, int(double(s) / src.height + 0.5));
        int tw = s / columns, th = s / rows;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                int w = c == columns - 1 ? tw + (s - columns * tw) : tw;
                int hh = r == rows - 1 ? th + (s - rows * th) : th;
                lumo::dib::Stretch(src, 0, 0, src.width, src.height, dst, c * tw, r * th, w, hh, true);
            }
    });
}

BOOL PadDIB(HDC, HDIB dib, HBITMAP& bitmap, int& side, void** bits)
{
    const BITMAPINFOHEADER* h = Header(dib);
    if (!h)
        return 0;
    int s = std::min(512, LargestPowerOfTwoNotAbove(std::max<int>(h->biWidth, std::abs(h->biHeight)), 16));
    return MakeTexture(dib, bitmap, s, side, bits, [&](const CVImage& src, CVImage& dst) {
        if (src.width > src.height) {
            int scaled = int(double(s) * src.height / src.width);
            lumo::dib::Stretch(src, 0, 0, src.width, src.height, dst, 0, (s - scaled) / 2, s, scaled, false);
        } else if (src.height > src.width) {
            int scaled = int(double(s) * src.width / src.height);
            lumo::dib::Stretch(src, 0, 0, src.width, src.height, dst, (s - scaled) / 2, 0, scaled, s, false);
        } else {
            lumo::dib::Stretch(src, 0, 0, src.width, src.height, dst, 0, 0, s, s, false);
        }
    });
}

BOOL ConvertDIBtoBMP(HDC, HDIB dib, HBITMAP& bitmap, int width, int height, void** bits)
{
    CVImage source;
    if (!lumo::dib::ToImage(dib, source) || width <= 0 || height <= 0)
        return 0;
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = CreateBitmap32(width, height);
    if (bits)
        *bits = bitmap ? bitmap->bits.data() : nullptr;
    if (!bitmap)
        return 0;
    CVImage target;
    target.width = width;
    target.height = height;
    target.bgra.assign(size_t(width) * size_t(height) * 4, 255);
    lumo::dib::Stretch(source, 0, 0, source.width, source.height, target, 0, 0, width, height, false);
    lumo::dib::ToBitmap(target, bitmap);
    return 1;
}

HDIB OpenDIB(const std::wstring& file)
{
    std::ifstream in(lumo::ToUtf8(file), std::ios::binary);
    if (!in)
        return nullptr;
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t pos = 0, pixelOffset = 0;
    if (data.size() >= 14 && data[0] == 'B' && data[1] == 'M') {
        pixelOffset = ReadLE<DWORD>(data.data() + 10);
        pos = 14;
    }
    if (data.size() < pos + 12)
        return nullptr;
    DWORD headerSize = ReadLE<DWORD>(data.data() + pos);
    BITMAPINFOHEADER h{};
    bool core = headerSize == 12;
    if (core) {
        h.biWidth = ReadLE<WORD>(data.data() + pos + 4);
        h.biHeight = ReadLE<WORD>(data.data() + pos + 6);
        h.biPlanes = ReadLE<WORD>(data.data() + pos + 8);
        h.biBitCount = ReadLE<WORD>(data.data() + pos + 10);
        h.biClrUsed = h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        // Later header versions start with the same 40 bytes; their masks
        // follow at byte 40 as in a BI_BITFIELDS table.
        if (data.size() < pos + 40)
            return nullptr;
        std::memcpy(&h, data.data() + pos, 40);
    } else {
        return nullptr;
    }
    h.biSize = sizeof(BITMAPINFOHEADER);
    WORD bits = h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min() ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return nullptr;
    long long height = h.biHeight < 0 ? -(long long)h.biHeight : h.biHeight;
    if ((long long)h.biWidth * height > kMaxPixels)
        return nullptr;
    long long rowBytes = DIBRowBytes(h.biWidth, bits);
    bool compressed = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
    if (!compressed && h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return nullptr;
    if (bits <= 8 && (h.biClrUsed == 0 || h.biClrUsed > (1u << bits)))
        h.biClrUsed = 1u << bits;
    if (bits > 8 && h.biCompression != BI_BITFIELDS)
        h.biClrUsed = std::min<DWORD>(h.biClrUsed, 256);
    long long imageSize = compressed ? (long long)h.biSizeImage : rowBytes * height;
    if (!compressed || h.biSizeImage == 0)
        h.biSizeImage = DWORD(compressed ? rowBytes * height : imageSize);
    imageSize = h.biSizeImage;

    size_t tableInFile = core ? 3 * h.biClrUsed : size_t(ColorTableSize(&h));
    size_t tableStart = pos + (core ? 12 : headerSize);
    if (!core && h.biCompression == BI_BITFIELDS && headerSize > 40) {
        tableStart = pos + 40; // masks inside the longer header
        tableInFile = 12;
        h.biClrUsed = 0;
    }
    size_t table = ColorTableSize(&h);
    if (tableStart + tableInFile > data.size())
        return nullptr; // the colour table runs past the end of the file
    size_t pixels = pixelOffset ? pixelOffset : tableStart + (core ? tableInFile : std::max(tableInFile, table));
    if (!core && h.biCompression == BI_BITFIELDS && headerSize > 40 && !pixelOffset)
        pixels = pos + headerSize;
    if (pixels > data.size() || (unsigned long long)imageSize > data.size() - pixels)
        return nullptr; // truncated pixel data

    HDIB dib = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + table + size_t(imageSize));
    auto* out = static_cast<unsigned char*>(GlobalLock(dib));
    if (!out)
        return nullptr;
    std::memcpy(out, &h, sizeof h);
    unsigned char* dst = out + sizeof h;
    if (core) {
        for (size_t i = 0; i < h.biClrUsed; ++i) {
            std::memcpy(dst + i * 4, data.data() + tableStart + i * 3, 3);
            dst[i * 4 + 3] = 0;
        }
    } else {
        std::memcpy(dst, data.data() + tableStart, std::min(table, tableInFile));
    }
    std::memcpy(out + sizeof h + table, data.data() + pixels, size_t(imageSize));
    return dib;
}

BOOL WriteDIBtoJPEGEx(const std::wstring& file, HDIB dib, int, int)
{
    CVImage image;
    if (!lumo::dib::ToImage(dib, image))
        return 0;
    return lumo::image::WriteImageFile(file, image) ? 1 : 0;
}
