#include "scene/model/Color.h"
#include "scene/model/ColorTables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace lumo::color;

TEST(ColorText, HexadecimalFormsOfPureRed)
{
    for (const wchar_t* text : {L"#ff0000", L"#FF0000", L"cxFF0000", L"0XFF0000", L"0xff0000", L"0x00FF0000"})
        EXPECT_EQ(ConvertStringToColor(text), RGB(255, 0, 0)) << text;
    EXPECT_EQ(ConvertStringToColor(L"#0080ff"), RGB(0, 128, 255));
}

TEST(ColorText, EightHexDigitsAreCyanMagentaYellowBlack)
{
    EXPECT_EQ(ConvertStringToColor(L"FF000000"), RGB(0, 255, 255));
    EXPECT_EQ(ConvertStringToColor(L"00FF00FF"), RGB(0, 0, 0)); // black saturates every channel
    EXPECT_EQ(ConvertStringToColor(L"0000ff00"), RGB(255, 255, 0));
}

TEST(ColorText, HueLightnessSaturationAndHueSaturationValue)
{
    EXPECT_EQ(ConvertStringToColor(L"H0787FFF"), RGB(254, 0, 0)); // hue 120 is red
    EXPECT_EQ(ConvertStringToColor(L"H0007FFF"), RGB(0, 0, 254));  // hue 0 is blue
    EXPECT_EQ(ConvertStringToColor(L"H0008000"), RGB(128, 128, 128));
    EXPECT_EQ(ConvertStringToColor(L"V000FFFF"), RGB(255, 0, 0));
    EXPECT_EQ(ConvertStringToColor(L"v078ffff"), RGB(0, 255, 0));
    EXPECT_EQ(ConvertStringToColor(L"V07800FF"), RGB(255, 255, 255)); // no saturation: grey at the value
    EXPECT_EQ(ConvertStringToColor(L"VFFFFFFF"), RGB(127, 127, 127)); // sector outside 0..5
}

TEST(ColorText, GreyLevelsNeedTheDigitsRightAfterGray)
{
    EXPECT_EQ(ConvertStringToColor(L"gray"), RGB(128, 128, 128));
    EXPECT_EQ(ConvertStringToColor(L"GRAY80"), RGB(128, 128, 128));
    EXPECT_EQ(ConvertStringToColor(L"grayc0"), RGB(192, 192, 192));
    // With a blank it is the naming phrase GRAY: grey at lightness 0.5.
    EXPECT_EQ(ConvertStringToColor(L"GRAY 80"), RGB(127, 127, 127));
}

TEST(ColorText, NamesFromBothTablesIgnoringCase)
{
    EXPECT_EQ(ConvertStringToColor(L"Red"), RGB(255, 0, 0));
    EXPECT_EQ(ConvertStringToColor(L"CHARCOA"), RGB(79, 79, 79));
    EXPECT_EQ(ConvertStringToColor(L"AliceBlue"), RGB(240, 248, 255));
    EXPECT_EQ(ConvertStringToColor(L"steel"), RGB(56, 131, 168));
    EXPECT_EQ(ConvertStringToColor(L"steelblue"), RGB(70, 130, 180));
    EXPECT_EQ(ConvertStringToColor(L"medimumblue"), RGB(0, 0, 205));
    EXPECT_EQ(ConvertStringToColor(L"mediumaquamarine"), RGB(102, 205, 170));
    // The usual spelling is no table name; it reads as the phrase MEDIUM BLUE.
    EXPECT_EQ(ConvertStringToColor(L"mediumblue"), RGB(0, 0, 255));
}

TEST(ColorText, NamingPhrases)
{
    EXPECT_EQ(ConvertStringToColor(L"LIGHT GRAY"), RGB(170, 170, 170));
    EXPECT_EQ(ConvertStringToColor(L"vivid red"), RGB(255, 0, 0));
    EXPECT_EQ(ConvertStringToColor(L"very-light_gray"), RGB(211, 211, 211));
    EXPECT_EQ(ConvertStringToColor(L"BLUE GREEN"), RGB(0, 255, 255)); // blue counts 360 beside green
    EXPECT_EQ(ConvertStringToColor(L"purplish red"), RGB(255, 0, 63));
    EXPECT_EQ(ConvertStringToColor(L"WHITE"), RGB(255, 255, 255));
    EXPECT_EQ(ConvertStringToColor(L"DARK"), 0u);          // lightness alone is no colour
    EXPECT_EQ(ConvertStringToColor(L"strong"), 0u);        // nor saturation other than GRAY
}

TEST(ColorText, NamingCodes)
{
    EXPECT_EQ(ConvertStringToColor(L"VIR"), RGB(0xBE, 0x00, 0x32));
    EXPECT_EQ(ConvertStringToColor(L"depk"), RGB(0xE4, 0x71, 0x7A));
    EXPECT_EQ(ConvertStringToColor(L"DAGRYBR"), RGB(0x48, 0x3C, 0x32));
    EXPECT_EQ(ConvertStringToColor(L"VIYG"), RGB(0x8D, 0xB6, 0x00));
    EXPECT_EQ(ConvertStringToColor(L"VILGG"), RGB(0x27, 0xA6, 0x4C)); // vivid yellowish green
    EXPECT_EQ(ConvertStringToColor(L"LGGR"), RGB(0xBF, 0xB8, 0xA5));  // yellowish gray
    EXPECT_EQ(ConvertStringToColor(L"VIR and more"), RGB(0xBE, 0x00, 0x32));
    EXPECT_EQ(ConvertStringToColor(L"VIRX"), 0u);
    EXPECT_EQ(ConvertStringToColor(L"VIBLPK"), 0u); // no such colour name
}

TEST(ColorText, EveryCodeOfTheTableReadsBack)
{
    ASSERT_GE(kColorCodeCount, 266u);
    std::string previous;
    for (size_t i = 0; i < kColorCodeCount; ++i) {
        const CodedColor& e = kColorCodes[i];
        if (i > 0) {
            const CodedColor& p = kColorCodes[i - 1];
            ASSERT_TRUE(p.key0 < e.key0 || (p.key0 == e.key0 && p.key1 < e.key1)) << "unsorted at " << i;
        }
        std::string code = (e.key0 >> 4) ? kModifierCodes[(e.key0 >> 4) - 1] : "";
        for (int hue : {e.key0 & 15, e.key1 >> 4, e.key1 & 15})
            if (hue)
                code += kHueCodes[hue - 1];
        bool isName = false;
        for (size_t n = 0; n < kUpperNameCount; ++n)
            isName |= code == kUpperNames[n].name;
        if (code != "BL") {
            EXPECT_NE(e.r + e.g + e.b, 0) << code << " left at zero";
        }
        if (isName)
            continue; // the name table is tried first
        std::wstring text(code.begin(), code.end());
        EXPECT_EQ(ConvertStringToColor(text), RGB(e.r, e.g, e.b)) << code;
    }
}

TEST(ColorText, MalformedTextIsBlack)
{
    for (const wchar_t* text : {L"", L"#GG0000", L"#FF00", L"0x12345", L"H12", L"not a colour", L"\u00e9t\u00e9",
                                L"0XFF00000000"})
        EXPECT_EQ(ConvertStringToColor(text), 0u) << text;
}

TEST(ColorConversions, ColorrefToFloatAndBack)
{
    RGBColorStruct c = ColorrefToRGB(RGB(255, 0, 51));
    EXPECT_FLOAT_EQ(c.red, 1.0f);
    EXPECT_FLOAT_EQ(c.blue, 0.2f);
    EXPECT_FLOAT_EQ(ColorrefToRGBA(0).alpha, 1.0f);
    EXPECT_EQ(RGBToColorref({1.0f, 0.5f, 0.0f}), 0x02007FFFu);
    EXPECT_EQ(RGBAToColorref({0.0f, 0.0f, 1.0f, 0.3f}), 0x02FF0000u);
    // Out-of-range channels are clamped instead of spilling into the next byte.
    EXPECT_EQ(RGBToColorref({2.0f, -1.0f, 0.0f}), 0x020000FFu);
}

TEST(ColorConversions, ColorToText)
{
    EXPECT_EQ(ConvertColorToString(RGB(255, 0, 0)), L"0xFF0000");
    EXPECT_EQ(ConvertColorToUserString(RGB(0, 0, 255)), L"blue");
    EXPECT_EQ(ConvertColorToUserString(RGB(160, 80, 0)), L"BR");
    EXPECT_EQ(ConvertColorToUserString(RGB(1, 2, 3)), L"0x010203");
}

} // namespace
