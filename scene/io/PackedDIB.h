// Packed device-independent bitmaps (a BITMAPINFOHEADER, its colour table or
// masks, then the pixel rows bottom-up, each padded to 4 bytes) in global
// memory blocks, and the utilities that create, read, write, convert and
// scale them. Coordinates of the blits are top-down, as on a DC.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GlobalMemory.h"
#include "scene/io/image/Image.h"

#include <string>

using HDIB = HGLOBAL;

constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

// Bytes of one pixel row: ((width * bits + 31) / 32) * 4.
inline long long DIBRowBytes(long long width, int bits) { return ((width * bits + 31) / 32) * 4; }

HGLOBAL GlobalFreeDIB(HDIB dib);
// A zero-filled DIB of 8, 16, 24 or 32 bits per pixel; null for other
// depths and for run-length compression.
HDIB CreateRGBDIB(int width, int height, int bits, DWORD compression);
// Bytes between the header and the pixels (colour table, or masks).
DWORD ColorTableSize(const BITMAPINFOHEADER* header);
DWORD ColorTableSize(HDIB dib);
// The bitmap's pixels as a new DIB of 'bits' per pixel (0: 32); 16, 24 and
// 32 bits are supported, palette depths are not (null).
HDIB DIBFromBitmap(HBITMAP bitmap, DWORD compression, WORD bits, HPALETTE palette);
// Draws part of the DIB stretched into the DC's bitmap; without a DIB, fills
// the destination as the raster operation says (black, white or the white brush).
BOOL StretchDIBBlt(HDC dc, int x, int y, int w, int h, HDIB dib, int sx, int sy, int sw, int sh, DWORD rop);
// Texture bitmaps: a square 32-bit bitmap (replacing the one passed in) of
// side 'side', with the source stretched into it, tiled into it, or fitted
// into it with white margins.
BOOL ScaleDIB(HDC dc, HDIB dib, HBITMAP& bitmap, int& side, void** bits);
BOOL TileDIB(HDC dc, HDIB dib, HBITMAP& bitmap, int& side, void** bits, int mode);
BOOL PadDIB(HDC dc, HDIB dib, HBITMAP& bitmap, int& side, void** bits);
BOOL ConvertDIBtoBMP(HDC dc, HDIB dib, HBITMAP& bitmap, int width, int height, void** bits);
// Reads a BMP file (with or without file header, core headers widened);
// null for a missing, malformed or truncated file.
HDIB OpenDIB(const std::wstring& file);
// Writes the DIB with the file-name rule of WriteImageFile.
BOOL WriteDIBtoJPEGEx(const std::wstring& file, HDIB dib, int unused1, int unused2);

namespace lumo::dib {

// The texture side for a source: the largest power of two not above the
// larger side, limited to 64..512.
int TextureSide(int width, int height);
// Pixels of a DIB of any uncompressed depth; false when it cannot be read.
bool ToImage(HDIB dib, CVImage& image);
// A new DIB of 24 or 32 bits per pixel holding the image.
HDIB FromImage(const CVImage& image, int bits);
// Writes the DIB as a BMP file, converted to 24 bits unless it already is.
bool WriteBMP(const std::string& path, HDIB dib);
// The bitmap's pixels (stored bottom-up) as a top-down image, and back.
CVImage FromBitmap(HBITMAP bitmap);
void ToBitmap(const CVImage& image, HBITMAP bitmap);
// Nearest-pixel stretch (or area averaging with 'smooth') of src's part
// (sx, sy, sw, sh) onto dst's part (x, y, w, h), clipped to dst.
void Stretch(const CVImage& src, int sx, int sy, int sw, int sh, CVImage& dst, int x, int y, int w, int h,
             bool smooth);

} // namespace lumo::dib

namespace lumo::image {
// Writes an image file, the format chosen by the last three characters of
// the name: "BMP" (24-bit), "JPG"/"PEG" (JPEG, quality 100), "GIF", "IFF"
// (TIFF); anything else PNG (so ".tif" is PNG and ".tiff" is TIFF).
bool WriteImageFile(const std::wstring& name, const CVImage& image, const WriteOptions& options = {});
} // namespace lumo::image
