// MulDiv as Windows computes it: a * b / c from a 64-bit product, rounded to
// the nearest integer with halves away from zero; -1 for a zero divisor or a
// result that does not fit an int.
#pragma once

#include <climits>
#include <cstdint>

inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    std::int64_t product = std::int64_t(a) * std::int64_t(b);
    std::int64_t divisor = c;
    // Work with magnitudes so that the half step rounds away from zero.
    bool negative = (product < 0) != (divisor < 0);
    std::uint64_t p = product < 0 ? std::uint64_t(-(product + 1)) + 1 : std::uint64_t(product);
    std::uint64_t d = divisor < 0 ? std::uint64_t(-divisor) : std::uint64_t(divisor);
    std::uint64_t q = (p + d / 2) / d;
    if (q > std::uint64_t(INT_MAX) + (negative ? 1u : 0u))
        return -1;
    return negative ? int(-std::int64_t(q)) : int(q);
}
