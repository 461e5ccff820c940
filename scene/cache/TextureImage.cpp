#include "scene/cache/TextureImage.h"

#include "platform/text/Utf8.h"
#include "scene/io/SearchPath.h"

#include <algorithm>
#include <cwctype>
#include <new>

namespace lumo::texture {

namespace {

const int kPowerOfTwoTable[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096};

long gDecodes = 0;

bool StartsWithNoCase(const std::wstring& s, const wchar_t* prefix)
{
    for (size_t i = 0; prefix[i]; ++i)
        if (i >= s.size() || std::towlower(s[i]) != std::towlower(prefix[i]))
            return false;
    return true;
}

bool HasTransparentPixels(const CVImage& image)
{
    for (size_t i = 3; i < image.bgra.size(); i += 4)
        if (image.bgra[i] != 255)
            return true;
    return false;
}

void FlipRows(CVImage& image)
{
    size_t row = size_t(image.width) * 4;
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.Row(top), image.Row(top) + row, image.Row(bottom));
}

} // namespace

bool IsPowerOfTwo(int n)
{
    return std::find(std::begin(kPowerOfTwoTable), std::end(kPowerOfTwoTable), n) != std::end(kPowerOfTwoTable);
}

int ClosestPowerOfTwo(int n)
{
    int best = 0;
    for (int p : kPowerOfTwoTable)
        if (p <= n)
            best = p;
    return best;
}

int TextureSide(int n)
{
    if (n < 1)
        return 0;
    // n + n / 2 fits an int for every side an image may have (65,536 at most).
    return std::min(ClosestPowerOfTwo(n + n / 2), kMaxTextureSide);
}

bool ClearColors::operator==(const ClearColors& o) const
{
    if (set != o.set)
        return false;
    return !set || std::equal(std::begin(values), std::end(values), std::begin(o.values));
}

bool ClearColors::Clears(unsigned red, unsigned green, unsigned blue) const
{
    if (!set)
        return false;
    const unsigned c[3] = {red, green, blue};
    bool inRange = true, isKey = true;
    for (int i = 0; i < 3; ++i) {
        const unsigned* v = values + 3 * i;
        inRange = inRange && c[i] >= v[0] && c[i] <= v[1];
        isKey = isKey && c[i] == v[2];
    }
    return inRange || isKey;
}

bool IsAbsoluteLocation(const std::wstring& s)
{
    if (StartsWithNoCase(s, L"file:"))
        return true;
    if (!s.empty() && s[0] == L'/')
        return true; // "/abs/path", and "//host/share" on systems that have it
    if (s.size() >= 3 && s[0] == L'\\' && s[1] == L'\\')
        return true;
    return s.size() >= 2 && s[1] == L':';
}

std::wstring ResolveImageFile(IUnknown* host, const std::wstring& searchPath, const std::wstring& location)
{
    if (location.empty())
        return {};
    if (StartsWithNoCase(location, L"file:"))
        return lumo::LocalFileForLocation(location);
    if (IsAbsoluteLocation(location))
        return location;
    return CVGetURLSearchPath(host, searchPath, location);
}

LoadResult MakeTextureImage(const std::string& file, const ClearColors& clear, int maxSide, TextureImage& out)
{
    try {
        CVImage image;
        ++gDecodes;
        if (!lumo::image::ReadImageFile(file, image, kMaxSourcePixels) || !image.Valid())
            return LoadResult::Unreadable;
        if (image.width < 2 || image.height < 2)
            return LoadResult::TooSmall;
        int limit = std::clamp(maxSide, 1, kMaxTextureSide);
        int w = std::min(TextureSide(image.width), limit), h = std::min(TextureSide(image.height), limit);
        TextureImage result;
        bool mayBeTransparent = image.hasAlpha || clear.set;
        if (w == image.width && h == image.height)
            result.pixels = std::move(image);
        else if (!lumo::image::Scale(image, w, h, result.pixels))
            return LoadResult::NoMemory;
        if (clear.set) {
            auto& px = result.pixels.bgra;
            for (size_t i = 0; i + 3 < px.size(); i += 4)
                px[i + 3] = clear.Clears(px[i + 2], px[i + 1], px[i]) ? 0 : 255;
        }
        result.transparent = mayBeTransparent && HasTransparentPixels(result.pixels);
        result.rgba = clear.set || result.transparent;
        FlipRows(result.pixels);
        out = std::move(result);
        return LoadResult::Loaded;
    } catch (const std::bad_alloc&) {
        return LoadResult::NoMemory;
    }
}

std::wstring DescribeFailure(LoadResult result, const std::wstring& location, const std::wstring& file)
{
    std::wstring where = L"texture image '" + location + L"'";
    switch (result) {
    case LoadResult::Loaded:
    case LoadResult::EmptyLocation:
        return {};
    case LoadResult::NotFound:
        return where + L" not found";
    case LoadResult::Unreadable:
        return where + L" (" + file + L") cannot be read: missing, damaged, too large or of an unknown kind";
    case LoadResult::TooSmall:
        return where + L" (" + file + L") is smaller than 2 x 2 pixels";
    case LoadResult::NoMemory:
        return where + L" (" + file + L") cannot be scaled: out of memory";
    }
    return {};
}

long DecodeCount() { return gDecodes; }

} // namespace lumo::texture
