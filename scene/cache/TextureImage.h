// From an image location to the pixels of a texture: where the file is,
// the texture size rule, clear colours and transparency. No OpenGL here.
#pragma once

#include "platform/com/Unknown.h"
#include "scene/io/image/Image.h"

#include <cstdint>
#include <string>

namespace lumo::texture {

// The largest texture side made from an image.
constexpr int kMaxTextureSide = 1024;
// Images of more pixels than this (2^25, e.g. 8192 x 4096) are not read for
// textures: they are refused before they are decoded.
constexpr std::uint64_t kMaxSourcePixels = std::uint64_t(1) << 25;

// Over the powers of two 1, 2, 4 ... 4096: whether n is one of them, and the
// largest one not above n (0 below 1, 4096 from 4096 up).
bool IsPowerOfTwo(int n);
int ClosestPowerOfTwo(int n);
// The texture side for an image side n >= 1: n rounded to the nearest power
// of two (the largest not above n + n/2), at most kMaxTextureSide; 0 below 1.
int TextureSide(int n);

// Colours made transparent: alpha 0 for a pixel whose red, green and blue
// each lie within [min, max], or that equals the key colour exactly.
struct ClearColors {
    bool set = false;
    // red min, red max, red key, green min, max, key, blue min, max, key
    unsigned values[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};

    bool operator==(const ClearColors& o) const;
    bool operator!=(const ClearColors& o) const { return !(*this == o); }
    bool Clears(unsigned red, unsigned green, unsigned blue) const;
};

// Whether a location is used as it stands, without the search path: an
// absolute path ("/..." or "//..."), a path with a drive letter ("C:...")
// or a network share ("\\server..."), or a "file:" URL.
bool IsAbsoluteLocation(const std::wstring& location);
// The local file an image location names: a "file:" URL as its path, any
// other absolute location unchanged, anything else looked up along the
// search path (and, with a host object, fetched when it is a URL). Empty
// when there is none.
std::wstring ResolveImageFile(IUnknown* host, const std::wstring& searchPath, const std::wstring& location);

enum class LoadResult { Loaded, EmptyLocation, NotFound, Unreadable, TooSmall, NoMemory };

// The pixels to upload: BGRA, texture-sized, rows bottom-up as OpenGL takes them.
struct TextureImage {
    CVImage pixels;
    bool transparent = false; // some pixels are transparent (in the file, or cleared)
    bool rgba = false;        // upload with alpha (transparent, or clear colours applied)
};

// Reads the file (at most kMaxSourcePixels), refuses images with a side
// below 2, scales to the texture size (no side above maxSide, itself at
// most kMaxTextureSide) and applies the clear colours.
LoadResult MakeTextureImage(const std::string& file, const ClearColors& clear, int maxSide, TextureImage& out);

// The message a failed load reports.
std::wstring DescribeFailure(LoadResult result, const std::wstring& location, const std::wstring& file);

// How many image files were decoded for textures in this process.
long DecodeCount();

} // namespace lumo::texture
