// An image in memory: 32-bit BGRA pixels, rows top-down, as the codecs and
// the texture code exchange them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct CVImage {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<std::uint8_t> bgra; // width * height * 4 bytes, top row first

    bool Valid() const { return width > 0 && height > 0 && bgra.size() == size_t(width) * size_t(height) * 4; }
    std::uint8_t* Row(int y) { return bgra.data() + size_t(y) * size_t(width) * 4; }
    const std::uint8_t* Row(int y) const { return bgra.data() + size_t(y) * size_t(width) * 4; }
};

namespace lumo::image {

// How image files are written.
struct WriteOptions {
    // zlib level of PNG files, 0 (stored) to 9. Up to 5 the rows are only
    // sub-filtered: an 800x600 chart takes about 6 ms at the default 3 (34 KB);
    // 6 and above try every filter: 9 takes about 48 ms (12 KB).
    int pngCompression = 3;
};

// Reads PNG, JPEG, GIF, TIFF or BMP, recognised by content; false when the
// file is missing, of another kind or damaged.
bool ReadImageFile(const std::string& path, CVImage& image);

// Codecs; each returns false (writing no partial file under the name) on failure.
bool ReadPng(const std::string& path, CVImage& image);
bool WritePng(const std::string& path, const CVImage& image, int compression = WriteOptions().pngCompression);
bool ReadJpeg(const std::string& path, CVImage& image);
bool WriteJpeg(const std::string& path, const CVImage& image, int quality);
bool ReadTiff(const std::string& path, CVImage& image);
bool WriteTiff(const std::string& path, const CVImage& image);
bool ReadGif(const std::string& path, CVImage& image);
// True colour is reduced to a 256-colour palette by median cut.
bool WriteGif(const std::string& path, const CVImage& image);

// Writes through a file in a new private folder (of an unpredictable name,
// readable only by us) beside 'path', then renames it into place, so that a
// failed write leaves an existing file untouched and nothing planted in
// advance is written through.
bool WriteAtomically(const std::string& path, const std::function<bool(const std::string&)>& write);

} // namespace lumo::image
