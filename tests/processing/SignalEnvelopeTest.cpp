#include "processing/SignalEnvelope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace dgaws;

namespace {

SignalEnvelope::Span bruteForce(const std::vector<float>& s, int64_t from, int64_t to)
{
    SignalEnvelope::Span r{std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity()};
    for (int64_t i = std::max<int64_t>(from, 0); i < std::min<int64_t>(to, int64_t(s.size())); ++i)
        if (std::isfinite(s[size_t(i)])) {
            r.low = std::min(r.low, s[size_t(i)]);
            r.high = std::max(r.high, s[size_t(i)]);
        }
    return r;
}

std::vector<float> noisySignal(int count, std::mt19937& random)
{
    std::normal_distribution<float> noise(0.0f, 100.0f);
    std::uniform_int_distribution<int> oneIn(0, 400);
    std::vector<float> s(static_cast<size_t>(count));
    for (float& v : s) {
        v = noise(random);
        const int r = oneIn(random);
        if (r == 0)
            v = std::numeric_limits<float>::quiet_NaN();
        else if (r == 1)
            v = -std::numeric_limits<float>::infinity();
    }
    return s;
}

void expectSpansMatch(const SignalEnvelope& e, const std::vector<float>& s, std::mt19937& random)
{
    const int n = int(s.size());
    std::uniform_int_distribution<int> at(-20, n + 20);
    for (int q = 0; q < 2000; ++q) {
        int from = at(random), to = at(random);
        if (from > to)
            std::swap(from, to);
        const SignalEnvelope::Span got = e.span(s.data(), from, to);
        const SignalEnvelope::Span want = bruteForce(s, from, to);
        ASSERT_EQ(got.empty(), want.empty()) << from << ".." << to;
        if (!want.empty()) {
            ASSERT_EQ(got.low, want.low) << from << ".." << to;
            ASSERT_EQ(got.high, want.high) << from << ".." << to;
        }
    }
}

}  // namespace

// Every stretch, ragged or aligned, inside or overhanging the samples, gives exactly the
// extremes of its finite samples, whether the envelope was built at once or grew a few
// samples at a time as a run delivers them.
TEST(SignalEnvelope, StretchesGiveTheExtremesOfTheirFiniteSamples)
{
    std::mt19937 random(11);
    for (const int n : {0, 1, 15, 16, 17, 1000, 40000}) {
        const std::vector<float> s = noisySignal(n, random);
        SignalEnvelope whole;
        whole.extend(s.data(), n);
        EXPECT_EQ(whole.count(), n);
        expectSpansMatch(whole, s, random);

        SignalEnvelope grown;
        std::uniform_int_distribution<int> chunk(1, 37);
        for (int c = 0; c < n;) {
            c = std::min(n, c + chunk(random));
            grown.extend(s.data(), c);
        }
        expectSpansMatch(grown, s, random);
    }
}

// A run that starts over hands the envelope fewer samples than it holds: it forgets the old
// ones instead of mixing them with the new.
TEST(SignalEnvelope, FewerSamplesStartOver)
{
    std::vector<float> s(5000, 1.0f);
    s[4000] = 900.0f;
    SignalEnvelope e;
    e.extend(s.data(), 5000);
    EXPECT_EQ(e.span(s.data(), 0, 5000).high, 900.0f);
    std::vector<float> fresh(100, -3.0f);
    e.extend(fresh.data(), 100);
    EXPECT_EQ(e.count(), 100);
    EXPECT_EQ(e.span(fresh.data(), 0, 5000).high, -3.0f);
    EXPECT_TRUE(e.span(fresh.data(), 100, 5000).empty());

    std::vector<float> allNaN(64, std::numeric_limits<float>::quiet_NaN());
    e.extend(allNaN.data(), 64);  // fewer again
    EXPECT_TRUE(e.span(allNaN.data(), 0, 64).empty());
}
