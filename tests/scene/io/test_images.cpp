#include "platform/gdi/DeviceContext.h"
#include "scene/io/PackedDIB.h"
#include "scene/io/image/Image.h"
#include "scene/render/SimpleDIB.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        mDir = fs::temp_directory_path() / ("lumo_images_" + std::to_string(getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override
    {
        fs::permissions(mDir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(mDir);
    }
    std::string Path(const std::string& name) const { return (mDir / name).string(); }
    std::wstring WPath(const std::string& name) const
    {
        std::string p = Path(name);
        return std::wstring(p.begin(), p.end());
    }
    std::string Magic(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        char b[4] = {0, 0, 0, 0};
        in.read(b, 4);
        return std::string(b, 4);
    }
    fs::path mDir;
};

// A 5 x 4 test card: red, green, blue and white quarters, grey bottom row.
CVImage TestCard()
{
    CVImage img;
    img.width = 5;
    img.height = 4;
    img.bgra.resize(5 * 4 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            unsigned char* p = img.Row(y) + x * 4;
            unsigned char r = 0, g = 0, b = 0;
            if (y == 3)
                r = g = b = 128;
            else if (x < 2 && y < 2)
                r = 255;
            else if (x >= 2 && y < 2)
                g = 255;
            else if (x < 2)
                b = 255;
            else
                r = g = b = 255;
            p[0] = b, p[1] = g, p[2] = r, p[3] = 255;
        }
    return img;
}

void ExpectSame(const CVImage& a, const CVImage& b, int tolerance)
{
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    for (size_t i = 0; i < a.bgra.size(); ++i) {
        if (i % 4 == 3)
            continue;
        ASSERT_NEAR(a.bgra[i], b.bgra[i], tolerance) << "byte " << i;
    }
}

TEST_F(Files, EveryFormatWritesAndReadsBack)
{
    CVImage card = TestCard();
    struct Case {
        const char* name;
        const char* magic;
        int tolerance;
    } cases[] = {{"a.png", "\x89PNG", 0}, {"a.tiff", "II*", 0}, {"a.gif", "GIF8", 0},
                 {"a.bmp", "BM", 0},      {"a.jpg", "\xFF\xD8\xFF", 12}};
    for (const Case& c : cases) {
        ASSERT_TRUE(lumo::image::WriteImageFile(WPath(c.name), card)) << c.name;
        EXPECT_EQ(Magic(c.name).compare(0, std::strlen(c.magic), c.magic), 0) << c.name;
        CVImage back;
        ASSERT_TRUE(lumo::image::ReadImageFile(Path(c.name), back)) << c.name;
        ExpectSame(card, back, c.tolerance);
    }
}

TEST_F(Files, TheLastThreeCharactersChooseTheFormat)
{
    CVImage card = TestCard();
    for (const char* name : {"x.tif", "x.b", "x.jpeg", "X.TIFF", "x.Gif"})
        ASSERT_TRUE(lumo::image::WriteImageFile(WPath(name), card));
    EXPECT_EQ(Magic("x.tif").substr(1, 3), "PNG");
    EXPECT_EQ(Magic("x.b").substr(1, 3), "PNG");
    EXPECT_EQ(Magic("x.jpeg").substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(Magic("X.TIFF").substr(0, 2), "II");
    EXPECT_EQ(Magic("x.Gif").substr(0, 3), "GIF");
}

TEST_F(Files, GifQuantisesTrueColourSoundly)
{
    CVImage ramp;
    ramp.width = 256;
    ramp.height = 4;
    ramp.bgra.resize(256 * 4 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 256; ++x) {
            unsigned char* p = ramp.Row(y) + x * 4;
            p[0] = static_cast<unsigned char>(255 - x), p[1] = static_cast<unsigned char>(x / 2),
            p[2] = static_cast<unsigned char>(x), p[3] = 255;
        }
    ASSERT_TRUE(lumo::image::WriteImageFile(WPath("ramp.gif"), ramp));
    CVImage back;
    ASSERT_TRUE(lumo::image::ReadImageFile(Path("ramp.gif"), back));
    ExpectSame(ramp, back, 12); // a palette of 256, not a truncation to a few levels
}

TEST_F(Files, UnwritablePathsFailAndLeaveExistingFilesAlone)
{
    CVImage card = TestCard();
    EXPECT_FALSE(lumo::image::WriteImageFile(WPath("missing/dir/a.png"), card));
    std::ofstream(Path("plain")) << "x";
    EXPECT_FALSE(lumo::image::WriteImageFile(WPath("plain/a.png"), card)); // a file where a folder should be
    fs::create_directories(Path("taken.png"));
    EXPECT_FALSE(lumo::image::WriteImageFile(WPath("taken.png"), card)); // a folder in the way
    EXPECT_TRUE(fs::is_directory(Path("taken.png")));
    std::ofstream(Path("keep.png")) << "old contents";
    CVImage broken; // nothing to write: the write fails after the target exists
    EXPECT_FALSE(lumo::image::WriteImageFile(WPath("keep.png"), broken));
    auto contents = [&] {
        std::ifstream in(Path("keep.png"));
        std::string text;
        std::getline(in, text);
        return text;
    };
    EXPECT_EQ(contents(), "old contents");
    for (auto& entry : fs::directory_iterator(mDir))
        EXPECT_EQ(entry.path().filename().string().rfind(".~", 0), std::string::npos) << "temporary file left";
    if (geteuid() != 0) { // a read-only folder stops everyone but root
        fs::permissions(mDir, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_FALSE(lumo::image::WriteImageFile(WPath("keep.png"), card));
        EXPECT_EQ(contents(), "old contents");
    }
}

// Writes a DIB block behind a file header as it is, whatever its depth.
void SaveRawBMP(const std::string& path, HDIB dib)
{
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    unsigned char file[14] = {'B', 'M'};
    DWORD size = DWORD(14 + GlobalSize(dib)), offset = DWORD(14 + h->biSize + ColorTableSize(h));
    std::memcpy(file + 2, &size, 4);
    std::memcpy(file + 10, &offset, 4);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<char*>(file), 14);
    out.write(static_cast<char*>(GlobalLock(dib)), std::streamsize(GlobalSize(dib)));
}

unsigned char* Pixels(HDIB dib)
{
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    return reinterpret_cast<unsigned char*>(h) + h->biSize + ColorTableSize(h);
}

TEST_F(Files, BmpFilesOfEveryDepthRoundTrip)
{
    // 8 bits with a palette.
    HDIB d8 = CreateRGBDIB(3, 2, 8, BI_RGB);
    auto* table = reinterpret_cast<unsigned char*>(GlobalLock(d8)) + 40;
    table[4 * 1 + 2] = 200; // entry 1: red 200
    table[4 * 2 + 1] = 100; // entry 2: green 100
    Pixels(d8)[0] = 1;      // bottom-left
    Pixels(d8)[4 + 2] = 2;  // top-right (rows padded to 4 bytes)
    // 16 bits 5-6-5 and 32 bits with masks, 24 bits plain.
    HDIB d16 = CreateRGBDIB(3, 2, 16, BI_BITFIELDS);
    unsigned short white = 0xFFFF, red = 0xF800;
    std::memcpy(Pixels(d16), &red, 2);
    std::memcpy(Pixels(d16) + 8 + 4, &white, 2); // top-right
    HDIB d24 = CreateRGBDIB(3, 2, 24, BI_RGB);
    Pixels(d24)[2] = 255;
    HDIB d32 = CreateRGBDIB(3, 2, 32, BI_BITFIELDS);
    Pixels(d32)[2] = 255;
    Pixels(d32)[12 + 8 + 1] = 255; // top-right green
    int i = 0;
    for (HDIB dib : {d8, d16, d24, d32}) {
        std::string name = "depth" + std::to_string(i++) + ".bmp";
        SaveRawBMP(Path(name), dib);
        HDIB read = OpenDIB(WPath(name));
        ASSERT_NE(read, nullptr) << name;
        CVImage expected, actual;
        ASSERT_TRUE(lumo::dib::ToImage(dib, expected));
        ASSERT_TRUE(lumo::dib::ToImage(read, actual));
        ExpectSame(expected, actual, 0);
        // And the library's own writer (24-bit) keeps the pixels.
        ASSERT_TRUE(lumo::dib::WriteBMP(Path("24-" + name), read));
        CVImage again;
        ASSERT_TRUE(lumo::image::ReadImageFile(Path("24-" + name), again));
        ExpectSame(expected, again, 0);
        GlobalFreeDIB(read);
    }
    CVImage eight;
    lumo::dib::ToImage(d8, eight);
    EXPECT_EQ(eight.Row(1)[2], 200); // bottom-left is red 200
    EXPECT_EQ(eight.Row(0)[2 * 4 + 1], 100);
    CVImage sixteen;
    lumo::dib::ToImage(d16, sixteen);
    EXPECT_EQ(sixteen.Row(1)[2], 255);
    EXPECT_EQ(sixteen.Row(0)[2 * 4], 255);
    for (HDIB dib : {d8, d16, d24, d32})
        GlobalFreeDIB(dib);
}

TEST_F(Files, CoreHeaderBmpIsWidened)
{
    // 2 x 1, 8 bits, a 12-byte header and a 3-byte-entry palette of 256.
    std::vector<unsigned char> f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    unsigned char header[12] = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 8, 0};
    f.insert(f.end(), header, header + 12);
    for (int i = 0; i < 256; ++i) {
        unsigned char e[3] = {static_cast<unsigned char>(i), 0, static_cast<unsigned char>(255 - i)};
        f.insert(f.end(), e, e + 3);
    }
    DWORD offset = DWORD(f.size());
    std::memcpy(f.data() + 10, &offset, 4);
    unsigned char row[4] = {0, 255, 0, 0};
    f.insert(f.end(), row, row + 4);
    std::ofstream(Path("core.bmp"), std::ios::binary).write(reinterpret_cast<char*>(f.data()), std::streamsize(f.size()));
    HDIB dib = OpenDIB(WPath("core.bmp"));
    ASSERT_NE(dib, nullptr);
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biClrUsed, 256u);
    CVImage img;
    ASSERT_TRUE(lumo::dib::ToImage(dib, img));
    EXPECT_EQ(img.Row(0)[2], 255); // entry 0: blue 0, green 0, red 255
    EXPECT_EQ(img.Row(0)[4], 255); // entry 255: blue 255
    GlobalFreeDIB(dib);
}

TEST_F(Files, LyingOrTruncatedBmpHeadersAreRefused)
{
    HDIB good = CreateRGBDIB(4, 4, 24, BI_RGB);
    SaveRawBMP(Path("good.bmp"), good);
    std::ifstream in(Path("good.bmp"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    GlobalFreeDIB(good);
    auto variant = [&](const std::string& name, auto change) {
        std::vector<char> b = bytes;
        change(b);
        std::ofstream(Path(name), std::ios::binary).write(b.data(), std::streamsize(b.size()));
        return OpenDIB(WPath(name));
    };
    EXPECT_EQ(variant("huge.bmp", [](auto& b) { int w = 0x7FFFFFFF; std::memcpy(b.data() + 18, &w, 4); }), nullptr);
    EXPECT_EQ(variant("truncated.bmp", [](auto& b) { b.resize(b.size() - 10); }), nullptr);
    EXPECT_EQ(variant("header.bmp", [](auto& b) { int s = 20; std::memcpy(b.data() + 14, &s, 4); }), nullptr);
    EXPECT_EQ(variant("table.bmp",
                      [](auto& b) {
                          short bits = 8;
                          int used = 200;
                          std::memcpy(b.data() + 28, &bits, 2);
                          std::memcpy(b.data() + 46, &used, 4);
                          b.resize(54 + 40);
                      }),
              nullptr);
    EXPECT_EQ(variant("offset.bmp", [](auto& b) { int o = 1 << 30; std::memcpy(b.data() + 10, &o, 4); }), nullptr);
    EXPECT_EQ(variant("empty.bmp", [](auto& b) { b.clear(); }), nullptr);
    EXPECT_EQ(OpenDIB(WPath("absent.bmp")), nullptr);
    HDIB ok = variant("same.bmp", [](auto&) {});
    EXPECT_NE(ok, nullptr);
    GlobalFreeDIB(ok);
}

TEST(PackedDIBs, CreationRulesAndTableSizes)
{
    EXPECT_EQ(CreateRGBDIB(4, 4, 4, BI_RGB), nullptr);
    EXPECT_EQ(CreateRGBDIB(4, 4, 8, BI_RLE8), nullptr);
    EXPECT_EQ(CreateRGBDIB(4, 4, 24, BI_RLE4), nullptr);
    HDIB d = CreateRGBDIB(5, 3, 24, BI_RGB);
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(d));
    EXPECT_EQ(h->biSizeImage, 16u * 3u); // rows of 15 bytes padded to 16
    EXPECT_EQ(ColorTableSize(d), 0u);
    GlobalFreeDIB(d);
    HDIB m = CreateRGBDIB(2, 2, 16, BI_BITFIELDS);
    EXPECT_EQ(ColorTableSize(m), 12u);
    EXPECT_EQ(reinterpret_cast<DWORD*>(static_cast<char*>(GlobalLock(m)) + 40)[0], 0xF800u);
    GlobalFreeDIB(m);
    HDIB p = CreateRGBDIB(2, 2, 8, BI_RGB);
    EXPECT_EQ(ColorTableSize(p), 1024u);
    GlobalFreeDIB(p);
    BITMAPINFOHEADER used{};
    used.biSize = 40;
    used.biBitCount = 4;
    used.biClrUsed = 3;
    EXPECT_EQ(ColorTableSize(&used), 12u);
    used.biCompression = BI_BITFIELDS;
    EXPECT_EQ(ColorTableSize(&used), 24u);
}

HDIB Solid(int w, int h)
{
    CVImage img;
    img.width = w;
    img.height = h;
    img.bgra.assign(size_t(w) * size_t(h) * 4, 0);
    for (size_t i = 0; i < img.bgra.size(); i += 4)
        img.bgra[i] = 200, img.bgra[i + 3] = 255; // blue
    img.Row(0)[2] = 255;                          // top-left red
    img.Row(0)[0] = 0;
    return lumo::dib::FromImage(img, 24);
}

TEST(TextureBitmaps, ScaleTileAndPadSizes)
{
    HBITMAP bmp = nullptr;
    int side = 0;
    void* bits = nullptr;
    HDIB small = Solid(10, 5), wide = Solid(1000, 300), square = Solid(100, 100), oblong = Solid(200, 100);
    ASSERT_TRUE(ScaleDIB(nullptr, small, bmp, side, &bits));
    EXPECT_EQ(side, 64);
    EXPECT_EQ(bits, bmp->bits.data());
    ASSERT_TRUE(ScaleDIB(nullptr, wide, bmp, side, &bits));
    EXPECT_EQ(side, 512);
    ASSERT_TRUE(TileDIB(nullptr, square, bmp, side, &bits, 0));
    EXPECT_EQ(side, 64);
    CVImage one = lumo::dib::FromBitmap(bmp);
    EXPECT_EQ(one.Row(0)[2], 255);   // the single tile's corner
    EXPECT_NE(one.Row(0)[32 * 4 + 2], 255);
    ASSERT_TRUE(TileDIB(nullptr, square, bmp, side, &bits, 2));
    EXPECT_EQ(side, 512);
    CVImage tiles = lumo::dib::FromBitmap(bmp);
    for (int t = 0; t < 5; ++t) // tiles of 102, the last 104
        EXPECT_EQ(tiles.Row(t * 102)[(t * 102) * 4 + 2], 255) << t;
    EXPECT_NE(tiles.Row(0)[(5 * 102) * 4 + 2], 255);
    ASSERT_TRUE(PadDIB(nullptr, oblong, bmp, side, &bits));
    EXPECT_EQ(side, 128);
    CVImage padded = lumo::dib::FromBitmap(bmp);
    for (int y : {0, 31, 96, 127})
        EXPECT_EQ(padded.Row(y)[64 * 4], 255) << "white band at row " << y;
    for (int y : {32, 95})
        EXPECT_EQ(padded.Row(y)[64 * 4], 200) << "image at row " << y;
    ASSERT_TRUE(ConvertDIBtoBMP(nullptr, oblong, bmp, 20, 10, &bits));
    EXPECT_EQ(bmp->width, 20);
    EXPECT_FALSE(ScaleDIB(nullptr, nullptr, bmp, side, &bits));
    DeleteObject(bmp);
    for (HDIB d : {small, wide, square, oblong})
        GlobalFreeDIB(d);
}

TEST(SimpleDIBs, BlitsCopyStretchAndLeaveOutTheTransparentColour)
{
    CSimpleDIB source, target;
    EXPECT_THROW(source.Create(0, 5, nullptr), std::bad_alloc);
    source.Create(4, 4, nullptr);
    target.Create(8, 8, nullptr);
    auto* s = static_cast<unsigned char*>(source.GetBits());
    for (int i = 0; i < 16; ++i) // all green, one magenta pixel at the top-left
        s[i * 4 + 1] = 255;
    s[(3 * 4) * 4] = 255, s[(3 * 4) * 4 + 1] = 0, s[(3 * 4) * 4 + 2] = 255;
    EXPECT_TRUE(source.StretchBlt(target.GetDC(), 0, 0, 8, 8, 0, 0, 4, 4));
    CVImage t = lumo::dib::FromBitmap(target.GetBitmap());
    EXPECT_EQ(t.Row(1)[1 * 4 + 2], 255); // the magenta pixel covers 2 x 2
    EXPECT_EQ(t.Row(2)[2 * 4 + 1], 255);
    CSimpleDIB canvas;
    canvas.Create(4, 4, nullptr);
    std::memset(canvas.GetBits(), 0x40, 4 * 4 * 4);
    EXPECT_TRUE(source.TransparentBlt(canvas.GetDC(), 0, 0, 4, 4, 0, 0, 4, 4, RGB(255, 0, 255)));
    CVImage c = lumo::dib::FromBitmap(canvas.GetBitmap());
    EXPECT_EQ(c.Row(0)[0], 0x40); // left out: the canvas shows
    EXPECT_EQ(c.Row(1)[1], 255);
    EXPECT_TRUE(source.BitBlt(canvas.GetDC(), 2, 2));
    EXPECT_EQ(lumo::dib::FromBitmap(canvas.GetBitmap()).Row(2)[2 * 4 + 2], 255);
}

} // namespace
