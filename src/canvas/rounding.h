// Rounding to the nearest integer, halves away from zero: the results of
// std::lround, without a library call for every pixel coordinate.
#pragma once

// For |v| < 2^62. The fraction v - trunc(v) is exact in double arithmetic.
inline long long round_half_away(double v) {
    long long whole = static_cast<long long>(v);
    const double fraction = v - static_cast<double>(whole);
    if (fraction >= 0.5) ++whole;
    if (fraction <= -0.5) --whole;
    return whole;
}
