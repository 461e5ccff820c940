// Test support: a private temporary folder (made with mkdtemp, removed at
// the end) and small image files written into it.
#pragma once

#include "scene/io/image/Image.h"

#include <cstdint>
#include <functional>
#include <string>

namespace lumo::test {

// A colour as the image codecs hold it.
struct Bgra {
    std::uint8_t b, g, r, a;
};

// An image whose pixel (x, y), y counted from the top, is colour(x, y).
CVImage MakeImage(int width, int height, const std::function<Bgra(int x, int y)>& colour);

class TempImages {
public:
    TempImages();
    ~TempImages();
    TempImages(const TempImages&) = delete;
    TempImages& operator=(const TempImages&) = delete;

    const std::string& Dir() const { return mDir; }
    std::string Path(const std::string& name) const { return mDir + "/" + name; }
    std::wstring WPath(const std::string& name) const;
    // Writes a PNG (with an alpha channel when the image says so) and
    // returns its full path.
    std::wstring Png(const std::string& name, const CVImage& image) const;
    // Writes raw bytes and returns the full path.
    std::wstring Bytes(const std::string& name, const std::string& bytes) const;

private:
    std::string mDir;
};

} // namespace lumo::test
