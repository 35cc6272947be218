#include "chromatogram/SampleIndex.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace dgaws;

TEST(SampleIndex, EveryRoundingAtItsEdges)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr auto Zero = SampleRounding::TowardZero;
    constexpr auto Float = SampleRounding::TowardZeroOfFloat;
    constexpr auto Near = SampleRounding::Nearest;
    // Sample 7 at 20 points per second as a float of seconds holds, in minutes.
    const double seventhAsFloat = static_cast<double>(static_cast<float>(7 / 20.0)) / 60.0;
    struct Case {
        int rate;
        double minutes;
        SampleRounding rounding;
        int index;
    };
    const Case cases[] = {
        {10, 0.05, Zero, 30},
        {10, 0.0999, Zero, 59},
        {10, -0.0999, Zero, -59},
        {10, 0.0999, Float, 59},
        {10, 0.0999, Near, 60},
        {10, -0.0999, Near, -60},
        {10, 0.0025, Near, 2},  // halves away from zero
        {10, -0.0025, Near, -2},
        // 10 x 0.09 x 60 is 53.99999999999999 in doubles.
        {10, 0.09, Zero, 53},
        {10, 0.09, Float, 54},
        {10, 0.09, Near, 54},
        {20, seventhAsFloat, Zero, 6},
        {20, seventhAsFloat, Float, 7},
        {20, 0.36 / 60.0, Float, 7},  // truly between samples: still toward zero
        // Damaged times: the same answer in every rounding.
        {20, std::nan(""), Zero, 0},
        {20, std::nan(""), Float, 0},
        {20, std::nan(""), Near, 0},
        {20, inf, Zero, INT_MAX},
        {20, inf, Float, INT_MAX},
        {20, -inf, Near, INT_MIN},
        {20, 1e30, Near, INT_MAX},
        {20, -1e30, Zero, INT_MIN},
        {0, 1e30, Zero, 0},
        {0, inf, Near, 0},  // no rate: 0 x infinity is not a number
        {50, 2147483647.5 / 3000.0, Near, INT_MAX},
        {50, -2147483649.0 / 3000.0, Zero, INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sampleIndex(c.rate, c.minutes, c.rounding), c.index)
            << c.rate << " points per second, " << c.minutes << " min, rounding "
            << static_cast<int>(c.rounding);
}
