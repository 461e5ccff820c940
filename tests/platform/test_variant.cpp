#include "platform/com/Bstr.h"
#include "platform/com/Variant.h"
#include "platform/com/VariantDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CVariant Convert(const CVariant& from, VARTYPE vt, HRESULT expected = S_OK, USHORT flags = 0)
{
    CVariant to;
    EXPECT_EQ(VariantChangeType(&to, &from, flags, vt), expected);
    return to;
}

std::u16string Text(const CVariant& v)
{
    EXPECT_EQ(v.vt, VT_BSTR);
    return std::u16string(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal));
}

TEST(VariantConversion, TextBecomesNumbersOfEachWidth)
{
    EXPECT_EQ(Convert(CVariant(u" 42 "), VT_I4).lVal, 42);
    EXPECT_EQ(Convert(CVariant(u"-7"), VT_I2).iVal, -7);
    EXPECT_EQ(Convert(CVariant(u"+4000000000"), VT_UI4).ulVal, 4000000000u);
    EXPECT_DOUBLE_EQ(Convert(CVariant(u"2.5e3"), VT_R8).dblVal, 2500.0);
    EXPECT_FLOAT_EQ(Convert(CVariant(u".5"), VT_R4).fltVal, 0.5f);
    EXPECT_EQ(Convert(CVariant(u"9223372036854775807"), VT_I8).llVal, std::numeric_limits<LONGLONG>::max());
}

TEST(VariantConversion, TextThatIsNoNumberIsATypeMismatch)
{
    for (const char16_t* bad : {u"", u"  ", u"12abc", u"1,5", u"0x10", u"e5", u"1e", u"--1", u"inf", u"nan"})
        Convert(CVariant(bad), VT_I4, DISP_E_TYPEMISMATCH);
    Convert(CVariant(u"1.5.2"), VT_R8, DISP_E_TYPEMISMATCH);
}

TEST(VariantConversion, IntegersOverflowAtTheEdgeOfTheirRange)
{
    EXPECT_EQ(Convert(CVariant(LONG(32767)), VT_I2).iVal, 32767);
    Convert(CVariant(LONG(32768)), VT_I2, DISP_E_OVERFLOW);
    EXPECT_EQ(Convert(CVariant(LONG(-32768)), VT_I2).iVal, -32768);
    Convert(CVariant(LONG(-32769)), VT_I2, DISP_E_OVERFLOW);
    Convert(CVariant(LONG(-1)), VT_UI4, DISP_E_OVERFLOW);
    EXPECT_EQ(Convert(CVariant(ULONG(0xFFFFFFFFu)), VT_I8).llVal, 0xFFFFFFFFll);
    Convert(CVariant(ULONG(0x80000000u)), VT_I4, DISP_E_OVERFLOW);
    Convert(CVariant(u"4294967296"), VT_UI4, DISP_E_OVERFLOW);
    Convert(CVariant(u"1e400"), VT_R8, DISP_E_OVERFLOW);
    Convert(CVariant(1e39), VT_R4, DISP_E_OVERFLOW);
    Convert(CVariant(std::nan("")), VT_I4, DISP_E_OVERFLOW);
    // The largest double below 2^63 fits; 2^63 does not.
    EXPECT_EQ(Convert(CVariant(9223372036854774784.0), VT_I8).llVal, 9223372036854774784ll);
    Convert(CVariant(9223372036854775808.0), VT_I8, DISP_E_OVERFLOW);
}

TEST(VariantConversion, RealsRoundHalfToEven)
{
    EXPECT_EQ(Convert(CVariant(2.5), VT_I4).lVal, 2);
    EXPECT_EQ(Convert(CVariant(3.5), VT_I4).lVal, 4);
    EXPECT_EQ(Convert(CVariant(-2.5), VT_I4).lVal, -2);
    EXPECT_EQ(Convert(CVariant(2.51), VT_I4).lVal, 3);
    EXPECT_EQ(Convert(CVariant(u"0.5"), VT_I2).iVal, 0);
    EXPECT_EQ(Convert(CVariant(32767.4), VT_I2).iVal, 32767);
    Convert(CVariant(32767.5), VT_I2, DISP_E_OVERFLOW);
}

TEST(VariantConversion, BooleansAreMinusOneAndZero)
{
    EXPECT_EQ(Convert(CVariant(LONG(5)), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(Convert(CVariant(0.0), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(Convert(CVariant(true), VT_I4).lVal, -1);
    EXPECT_EQ(Convert(CVariant(true), VT_UI1).bVal, 0xFF);
    EXPECT_EQ(Convert(CVariant(u"TRUE"), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(Convert(CVariant(u" false "), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(Convert(CVariant(u"-1"), VT_BOOL).boolVal, VARIANT_TRUE);
    Convert(CVariant(u"yes"), VT_BOOL, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Text(Convert(CVariant(true), VT_BSTR)), u"-1");
    EXPECT_EQ(Text(Convert(CVariant(false), VT_BSTR, S_OK, VARIANT_ALPHABOOL)), u"False");
}

TEST(VariantConversion, NumbersBecomeTextWithAPointAndBoundedDigits)
{
    EXPECT_EQ(Text(Convert(CVariant(LONG(-12)), VT_BSTR)), u"-12");
    EXPECT_EQ(Text(Convert(CVariant(0.1), VT_BSTR)), u"0.1");
    EXPECT_EQ(Text(Convert(CVariant(1.0 / 3), VT_BSTR)), u"0.333333333333333");
    EXPECT_EQ(Text(Convert(CVariant(0.1f), VT_BSTR)), u"0.1");
    EXPECT_EQ(Text(Convert(CVariant(ULONGLONG(18446744073709551615ull)), VT_BSTR)), u"18446744073709551615");
}

TEST(VariantConversion, EmptyNullErrorAndBadTags)
{
    EXPECT_EQ(Convert(CVariant(), VT_I4).lVal, 0);
    EXPECT_EQ(Text(Convert(CVariant(), VT_BSTR)), u"");
    Convert(CVariant::Null(), VT_I4, DISP_E_TYPEMISMATCH);
    Convert(CVariant::Error(E_FAIL), VT_BSTR, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Convert(CVariant(LONG(3)), VT_EMPTY).vt, VT_EMPTY);
    Convert(CVariant(LONG(3)), VT_CY, DISP_E_BADVARTYPE);
    VARIANT unknown;
    VariantInit(&unknown);
    unknown.vt = 0x7FF;
    CVariant out;
    EXPECT_EQ(VariantChangeType(&out, &unknown, 0, VT_I4), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(&unknown), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantChangeType(nullptr, &out, 0, VT_I4), E_INVALIDARG);
}

TEST(VariantConversion, FollowsOneReferenceAndConvertsInPlace)
{
    LONG target = 77;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &target;
    EXPECT_EQ(Text(Convert(CVariant(ref), VT_BSTR)), u"77");
    CVariant text(u"12");
    ASSERT_EQ(text.ChangeType(VT_R8), S_OK);
    EXPECT_EQ(text.vt, VT_R8);
    EXPECT_DOUBLE_EQ(text.dblVal, 12.0);
    // A failed conversion leaves the variant as it was.
    CVariant word(u"twelve");
    EXPECT_EQ(word.ChangeType(VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Text(word), u"twelve");
}

TEST(VariantDates, ConvertBetweenDayCountsTextAndCalendarTime)
{
    DATE d = 0;
    ASSERT_TRUE(lumo::ParseDate(u"2024-02-29 12:30:15", &d));
    std::u16string text;
    ASSERT_TRUE(lumo::FormatDate(d, &text));
    EXPECT_EQ(text, u"2024-02-29 12:30:15");
    EXPECT_EQ(Text(Convert(CVariant::Date(0.0), VT_BSTR)), u"1899-12-30");
    EXPECT_EQ(Text(Convert(CVariant::Date(0.25), VT_BSTR)), u"06:00:00");
    EXPECT_EQ(Text(Convert(CVariant::Date(-1.25), VT_BSTR)), u"1899-12-29 06:00:00");
    EXPECT_DOUBLE_EQ(Convert(CVariant(u"1900-01-01"), VT_DATE).date, 2.0);
    SYSTEMTIME st{};
    ASSERT_TRUE(VariantTimeToSystemTime(45352.5, &st)); // 2024-03-01 noon, a Friday
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wDayOfWeek, 5);
    DATE back = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&st, &back));
    EXPECT_DOUBLE_EQ(back, 45352.5);
}

TEST(VariantDates, RefuseInvalidCalendarFieldsAndTheOutOfRange)
{
    DATE d = 0;
    for (const char16_t* bad : {u"2023-02-29", u"2024-13-01", u"2024-01-01 24:00", u"0099-12-31", u"2024-1-1", u"noon"})
        EXPECT_FALSE(lumo::ParseDate(bad, &d)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
    EXPECT_TRUE(lumo::ParseDate(u"0100-01-01", &d));
    EXPECT_DOUBLE_EQ(d, lumo::kMinDate);
    Convert(CVariant(lumo::kMaxDate + 1), VT_DATE, DISP_E_OVERFLOW);
    SYSTEMTIME st{};
    EXPECT_FALSE(VariantTimeToSystemTime(lumo::kMinDate - 1, &st));
}

TEST(CVariantValue, PicksTheTagFromTheTypeAndOwnsItsString)
{
    EXPECT_EQ(CVariant(SHORT(1)).vt, VT_I2);
    EXPECT_EQ(CVariant(1).vt, VT_I4);
    EXPECT_EQ(CVariant(1u).vt, VT_UI4);
    EXPECT_EQ(CVariant(1.0f).vt, VT_R4);
    EXPECT_EQ(CVariant(true).vt, VT_BOOL);
    CVariant a(L"text");
    CVariant b = a;
    EXPECT_NE(a.bstrVal, b.bstrVal);
    CVariant c = std::move(a);
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_EQ(Text(c), u"text");
    VARIANT raw = c.Detach();
    EXPECT_EQ(c.vt, VT_EMPTY);
    CVariant d = CVariant::Adopt(raw);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(d.ToWide(), L"text");
}

} // namespace
