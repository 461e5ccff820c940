// The fast readings of plain numbers give exactly what the scan formats and
// wcstod give, and decline everything they cannot read that way.
#include "scene/model/MFields.h"
#include "scene/model/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

using lumo::text::ReadPlainDouble;
using lumo::text::ReadPlainFloat;
using lumo::text::ReadPlainInt;

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Tokens that take every branch: signs, digit counts round the 9-digit
// limit, fractions, exponents, the float range's ends, and text that is no
// plain number.
const std::vector<std::wstring>& Tokens()
{
    static const std::vector<std::wstring> tokens = [] {
        std::vector<std::wstring> t = {
            L"0", L"-0", L"+5", L"007", L"-12", L"123456789", L"-999999999", L"1234567890", L"9999999999",
            L"99999999999", L"-2147483648", L"2147483648", L"1e3", L"1.5", L".5", L"5.", L"-.5e-3", L"1E+05",
            L"1e39", L"-1e39", L"3.4028235e38", L"3.4028236e38", L"1.17549435e-38", L"1.4e-45", L"1e-46",
            L"1e-400", L"1e400", L"0x1A", L"0x1p3", L"nan", L"inf", L"-inf", L"infinity", L"1.5abc", L"abc",
            L"1e", L"--1", L"+-1", L"1-2", L"1.5.3", L"-", L".", L"e5", L"\u0661\u0662", L"1\u00a0",
            L"0.1000000000000000055511151231257827021181583404541015625000000001", L"00000000000000000001"};
        std::mt19937 random(7);
        std::uniform_real_distribution<double> unit(-1.0, 1.0);
        std::uniform_int_distribution<int> exponent(-40, 40);
        wchar_t buf[64];
        for (int i = 0; i < 2000; ++i) {
            double v = unit(random) * std::pow(10.0, exponent(random));
            const wchar_t* formats[] = {L"%.9g", L"%.17g", L"%g", L"%.3f", L"%.7e"};
            std::swprintf(buf, 64, formats[i % 5], v);
            t.emplace_back(buf);
        }
        return t;
    }();
    return tokens;
}

TEST(NumberText, PlainIntegersReadAsTheScanFormatReadsThem)
{
    int fast = 0;
    for (const std::wstring& token : Tokens()) {
        int value = 12345, expected = 0;
        const bool read = ReadPlainInt(token.data(), token.data() + token.size(), value);
        if (!read) {
            EXPECT_EQ(value, 12345) << "a declined token leaves the value alone";
            continue;
        }
        ++fast;
        ASSERT_EQ(std::swscanf(token.c_str(), L"%d", &expected), 1);
        // The scan format stops where the number stops: only whole tokens are fast.
        wchar_t rest[8] = L"";
        EXPECT_EQ(std::swscanf(token.c_str(), L"%*d%7ls", rest), -1)
            << "token " << std::string(token.begin(), token.end());
        EXPECT_EQ(value, expected) << std::string(token.begin(), token.end());
    }
    EXPECT_GT(fast, 10);
    int v = 0;
    const std::wstring limit = L"123456789", past = L"1234567890";
    EXPECT_TRUE(ReadPlainInt(limit.data(), limit.data() + limit.size(), v));
    EXPECT_FALSE(ReadPlainInt(past.data(), past.data() + past.size(), v)) << "ten digits may overflow: slow path";
}

TEST(NumberText, PlainDecimalsReadAsScanfAndWcstodReadThem)
{
    int fast = 0;
    for (const std::wstring& token : Tokens()) {
        float f = 0.0f, expectedF = 0.0f;
        double d = 0.0;
        wchar_t* end = nullptr;
        const double expectedD = std::wcstod(token.c_str(), &end);
        const bool wholeToken = end == token.c_str() + token.size();
        if (ReadPlainFloat(token.data(), token.data() + token.size(), f)) {
            ++fast;
            ASSERT_EQ(std::swscanf(token.c_str(), L"%f", &expectedF), 1);
            EXPECT_TRUE(SameBits(f, expectedF)) << std::string(token.begin(), token.end());
            EXPECT_TRUE(wholeToken) << std::string(token.begin(), token.end());
        }
        if (ReadPlainDouble(token.data(), token.data() + token.size(), d)) {
            EXPECT_TRUE(SameBits(d, expectedD)) << std::string(token.begin(), token.end());
            EXPECT_TRUE(wholeToken) << std::string(token.begin(), token.end());
        }
        // UTF-16 text reads the same.
        std::u16string narrow(token.begin(), token.end());
        float f16 = 0.0f;
        double d16 = 0.0;
        EXPECT_EQ(ReadPlainFloat(narrow.data(), narrow.data() + narrow.size(), f16),
                  ReadPlainFloat(token.data(), token.data() + token.size(), f));
        EXPECT_EQ(ReadPlainDouble(narrow.data(), narrow.data() + narrow.size(), d16),
                  ReadPlainDouble(token.data(), token.data() + token.size(), d));
    }
    EXPECT_GT(fast, 1500);
}

TEST(NumberText, FieldTextAddsGiveTheScanFormatsValues)
{
    CVMFFloat floats;
    CVMFInt32 ints;
    for (const wchar_t* text : {L"1.5", L"+2", L"3abc", L"abc", L"1e39", L"-0", L"12345678901"}) {
        floats.Add(text);
        ints.Add(text);
    }
    // "abc" appends nothing; the rest as %f and %d read them.
    ASSERT_EQ(floats.GetNum(), 6);
    ASSERT_EQ(ints.GetNum(), 6);
    const float expectedFloats[] = {1.5f, 2.0f, 3.0f, INFINITY, -0.0f, 12345678901.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(SameBits(floats[i], expectedFloats[i])) << i;
    int big = 0;
    std::swscanf(L"12345678901", L"%d", &big);
    const int expectedInts[] = {1, 2, 3, 1, 0, big};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ints[i], expectedInts[i]) << i;
}

} // namespace
