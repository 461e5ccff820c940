#include "scene/io/image/Image.h"
#include "tests/support/TempImages.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

using lumo::test::Bgra;
using lumo::test::MakeImage;
using lumo::test::TempImages;

namespace {

const std::uint8_t* At(const CVImage& image, int x, int y) { return image.Row(y) + x * 4; }

TEST(ImageScaling, ScalesTheWholeImageAndKeepsFlatColoursExact)
{
    CVImage wide = MakeImage(300, 100, [](int, int) { return Bgra{10, 200, 30, 255}; });
    CVImage out;
    ASSERT_TRUE(lumo::image::Scale(wide, 256, 128, out));
    ASSERT_EQ(out.width, 256);
    ASSERT_EQ(out.height, 128);
    ASSERT_TRUE(out.Valid());
    for (auto [x, y] : {std::pair{0, 0}, {255, 127}, {128, 64}, {255, 0}}) {
        const std::uint8_t* p = At(out, x, y);
        EXPECT_EQ(p[0], 10);
        EXPECT_EQ(p[1], 200);
        EXPECT_EQ(p[2], 30);
        EXPECT_EQ(p[3], 255); // the border does not fade out
    }
}

TEST(ImageScaling, TransparentPixelsDoNotDarkenTheirColour)
{
    // Half-transparent red: scaled as premultiplied colour and straightened
    // again, it stays red rather than turning dark.
    CVImage half = MakeImage(4, 4, [](int, int) { return Bgra{0, 0, 255, 128}; });
    CVImage out;
    ASSERT_TRUE(lumo::image::Scale(half, 8, 8, out));
    const std::uint8_t* p = At(out, 3, 3);
    EXPECT_NEAR(p[2], 255, 1);
    EXPECT_EQ(p[1], 0);
    EXPECT_NEAR(p[3], 128, 1);
    EXPECT_TRUE(out.hasAlpha);
}

TEST(ImageScaling, LeftAndRightStayApart)
{
    CVImage halves = MakeImage(8, 2, [](int x, int) { return x < 4 ? Bgra{0, 0, 255, 255} : Bgra{255, 0, 0, 255}; });
    CVImage out;
    ASSERT_TRUE(lumo::image::Scale(halves, 4, 2, out));
    EXPECT_EQ(At(out, 0, 0)[2], 255); // red on the left
    EXPECT_EQ(At(out, 3, 1)[0], 255); // blue on the right
}

TEST(ImageScaling, EmptySourcesAndSizesAreRefused)
{
    CVImage empty, out;
    EXPECT_FALSE(lumo::image::Scale(empty, 4, 4, out));
    CVImage one = MakeImage(2, 2, [](int, int) { return Bgra{1, 2, 3, 255}; });
    EXPECT_FALSE(lumo::image::Scale(one, 0, 4, out));
    EXPECT_FALSE(lumo::image::Scale(one, 4, -1, out));
}

// A palette PNG whose second entry is transparent through a tRNS chunk.
bool WritePalettePngWithTrns(const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = 4;
    png.height = 4;
    png.format = PNG_FORMAT_RGBA_COLORMAP;
    png.colormap_entries = 2;
    const unsigned char colormap[8] = {255, 0, 0, 255, 0, 0, 255, 0};
    unsigned char indices[16];
    for (int i = 0; i < 16; ++i)
        indices[i] = i % 2;
    return png_image_write_to_file(&png, path.c_str(), 0, indices, 0, colormap) != 0;
}

TEST(ImageReading, PngTransparencyComesFromTheFile)
{
    TempImages files;
    files.Png("opaque.png", MakeImage(4, 4, [](int, int) { return Bgra{1, 2, 3, 255}; }));
    files.Png("alpha.png", MakeImage(4, 4, [](int x, int) { return Bgra{1, 2, 3, std::uint8_t(x ? 255 : 0)}; }));
    ASSERT_TRUE(WritePalettePngWithTrns(files.Path("trns.png")));
    CVImage image;
    ASSERT_TRUE(lumo::image::ReadImageFile(files.Path("opaque.png"), image));
    EXPECT_FALSE(image.hasAlpha);
    ASSERT_TRUE(lumo::image::ReadImageFile(files.Path("alpha.png"), image));
    EXPECT_TRUE(image.hasAlpha);
    ASSERT_TRUE(lumo::image::ReadImageFile(files.Path("trns.png"), image));
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(At(image, 0, 0)[3], 255);
    EXPECT_EQ(At(image, 1, 0)[3], 0);
}

TEST(ImageReading, ImagesAboveThePixelBoundAreRefused)
{
    TempImages files;
    CVImage card = MakeImage(8, 8, [](int, int) { return Bgra{1, 2, 3, 255}; });
    files.Png("card.png", card);
    ASSERT_TRUE(lumo::image::WriteJpeg(files.Path("card.jpg"), card, 90));
    ASSERT_TRUE(lumo::image::WriteTiff(files.Path("card.tif"), card));
    ASSERT_TRUE(lumo::image::WriteGif(files.Path("card.gif"), card));
    for (const char* name : {"card.png", "card.jpg", "card.tif", "card.gif"}) {
        CVImage image;
        EXPECT_TRUE(lumo::image::ReadImageFile(files.Path(name), image, 64)) << name;
        EXPECT_FALSE(lumo::image::ReadImageFile(files.Path(name), image, 63)) << name;
    }
    EXPECT_TRUE(lumo::image::SizeAllowed(65536, 1, lumo::image::kMaxPixels));
    EXPECT_FALSE(lumo::image::SizeAllowed(65537, 1, lumo::image::kMaxPixels));
    EXPECT_FALSE(lumo::image::SizeAllowed(0, 1, lumo::image::kMaxPixels));
}

} // namespace
