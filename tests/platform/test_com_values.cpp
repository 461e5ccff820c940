#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/Utf16.h"

#include <gtest/gtest.h>

#include <cstring>
#include <unordered_set>

namespace {

const CLSID kControl = {0xD13E15EA, 0x8752, 0x4E11, {0x9F, 0xFB, 0xEB, 0x39, 0x07, 0x60, 0xAC, 0xA0}};

TEST(Guid, FormatsBracedUpperCaseWithFieldsMostSignificantFirst)
{
    EXPECT_EQ(lumo::FormatGuid(kControl), "{D13E15EA-8752-4E11-9FFB-EB390760ACA0}");
    OLECHAR text[39];
    EXPECT_EQ(StringFromGUID2(kControl, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{D13E15EA-8752-4E11-9FFB-EB390760ACA0}");
    EXPECT_EQ(StringFromGUID2(kControl, text, 38), 0);
}

TEST(Guid, ParsesEitherCaseAndRoundTrips)
{
    GUID g{};
    ASSERT_TRUE(lumo::ParseGuid("{d13e15ea-8752-4e11-9ffb-eb390760aca0}", &g));
    EXPECT_EQ(g, kControl);
    CLSID c{};
    EXPECT_EQ(CLSIDFromString(u"{021DC65E-531D-4F44-BEFC-D69C273EEB58}", &c), S_OK);
    EXPECT_EQ(c.Data1, 0x021DC65Eu);
    EXPECT_EQ(c.Data4[7], 0x58);
    EXPECT_EQ(lumo::FormatGuid(c), "{021DC65E-531D-4F44-BEFC-D69C273EEB58}");
}

TEST(Guid, RefusesAnythingButTheBracedForm)
{
    GUID g = kControl;
    for (const char* bad : {"D13E15EA-8752-4E11-9FFB-EB390760ACA0", "{D13E15EA-8752-4E11-9FFB-EB390760ACA}",
                            "{D13E15EA-8752-4E11-9FFB-EB390760ACA00}", "{D13E15EA+8752-4E11-9FFB-EB390760ACA0}",
                            "{G13E15EA-8752-4E11-9FFB-EB390760ACA0}", "{D13E15EA-8752-4E11-9FFB-EB390760ACA0", ""})
        EXPECT_FALSE(lumo::ParseGuid(bad, &g)) << bad;
    EXPECT_EQ(g, kControl); // untouched
    EXPECT_EQ(CLSIDFromString(u"Orbiscope.Orbiscope", &g), CO_E_CLASSSTRING);
}

TEST(Guid, OrdersAndHashesByValue)
{
    GUID a = kControl, b = kControl;
    b.Data4[7] = 0xA1;
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_FALSE(a < a);
    std::unordered_set<GUID> set{a, b, a};
    EXPECT_EQ(set.size(), 2u);
}

TEST(Bstr, CarriesItsByteLengthBeforeTheTextAndATerminatorAfter)
{
    BSTR s = SysAllocStringLen(u"a\0b", 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(SysStringByteLen(s), 6u);
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
    EXPECT_EQ(prefix, 6u);
    EXPECT_EQ(s[1], u'\0'); // embedded zero kept
    EXPECT_EQ(s[3], u'\0'); // terminator
    SysFreeString(s);
}

TEST(Bstr, NullIsTheEmptyString)
{
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    SysFreeString(nullptr);
    CBstr empty;
    EXPECT_TRUE(empty.IsNull());
    EXPECT_EQ(empty.ToWide(), L"");
    EXPECT_EQ(empty.View(), u"");
}

TEST(Bstr, RefusesLengthsBeyondTheBound)
{
    EXPECT_EQ(SysAllocStringLen(nullptr, kMaxBstrLength + 1), nullptr);
    BSTR odd = SysAllocStringByteLen("abc", 3);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(SysStringByteLen(odd), 3u);
    EXPECT_EQ(SysStringLen(odd), 1u);
    SysFreeString(odd);
}

TEST(Bstr, ReallocationReplacesOrKeepsTheOld)
{
    BSTR s = SysAllocString(u"old");
    EXPECT_EQ(SysReAllocString(&s, u"newer"), 1);
    EXPECT_EQ(std::u16string(s), u"newer");
    EXPECT_EQ(SysReAllocString(nullptr, u"x"), 0);
    SysFreeString(s);
}

TEST(Bstr, OwnerCopiesMovesAndConvertsWideText)
{
    CBstr a(L"gr\u00FC\U0001F600n");
    EXPECT_EQ(a.Length(), 6u); // the emoji takes two code units
    CBstr b = a;
    EXPECT_NE(b.Get(), a.Get());
    EXPECT_EQ(b.ToWide(), L"gr\u00FC\U0001F600n");
    CBstr c = std::move(b);
    EXPECT_TRUE(b.IsNull());
    EXPECT_EQ(c.View(), a.View());
    BSTR raw = c.Detach();
    EXPECT_TRUE(c.IsNull());
    CBstr d = CBstr::Adopt(raw);
    EXPECT_EQ(d.Length(), 6u);
}

TEST(Utf16, PairsSurrogatesAndReplacesWhatIsNotText)
{
    EXPECT_EQ(lumo::ToUtf16(L"\U0010FFFF"), std::u16string(u"\xDBFF\xDFFF"));
    std::wstring invalid = {wchar_t(0xD800), wchar_t(0x110000), L'x'};
    EXPECT_EQ(lumo::ToUtf16(invalid), u"\xFFFD\xFFFDx");
    EXPECT_EQ(lumo::FromUtf16(u"\xD83D\xDE00"), L"\U0001F600");
    EXPECT_EQ(lumo::FromUtf16(std::u16string(u"a\xDC00" u"b\xD800")), L"a\uFFFDb\uFFFD");
    EXPECT_EQ(lumo::Utf16ToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(lumo::Utf8ToUtf16("\xC3\xA9"), u"\u00E9");
}

} // namespace
