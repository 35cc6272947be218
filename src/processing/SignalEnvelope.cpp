#include "SignalEnvelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dgaws {

SignalEnvelope::Span SignalEnvelope::none()
{
    return {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
}

void SignalEnvelope::merge(Span& into, const Span& other)
{
    into.low = std::min(into.low, other.low);
    into.high = std::max(into.high, other.high);
}

SignalEnvelope::Span SignalEnvelope::ofSamples(const float* samples, int64_t from, int64_t to)
{
    Span s = none();
    for (int64_t i = from; i < to; ++i) {
        const float v = samples[i];
        if (std::isfinite(v)) {
            s.low = std::min(s.low, v);
            s.high = std::max(s.high, v);
        }
    }
    return s;
}

void SignalEnvelope::clear()
{
    levels_.clear();
    count_ = 0;
}

void SignalEnvelope::extend(const float* samples, int newCount)
{
    if (newCount < count_)
        clear();
    if (newCount == count_)
        return;
    if (levels_.empty())
        levels_.emplace_back();
    // The first-level block that holds the first new sample is recomputed whole; the blocks
    // above it follow.
    std::vector<Span>& first = levels_[0];
    const int firstBlock = count_ >> kFirstShift;
    const int blocks = ((newCount - 1) >> kFirstShift) + 1;
    first.resize(static_cast<size_t>(blocks));
    for (int b = firstBlock; b < blocks; ++b) {
        const int64_t from = int64_t{b} << kFirstShift;
        const int64_t to = std::min<int64_t>(from + (int64_t{1} << kFirstShift), newCount);
        first[static_cast<size_t>(b)] = ofSamples(samples, from, to);
    }
    count_ = newCount;
    rebuildLevelsFrom(firstBlock);
}

void SignalEnvelope::rebuildLevelsFrom(int firstBlock)
{
    int changed = firstBlock;
    for (size_t k = 1;; ++k) {
        if (levels_[k - 1].size() <= 1) {
            levels_.resize(k);
            return;
        }
        if (levels_.size() <= k)
            levels_.emplace_back();  // before the references below, which it would move
        const std::vector<Span>& below = levels_[k - 1];
        std::vector<Span>& level = levels_[k];
        const size_t blocks = (below.size() + 1) / 2;
        level.resize(blocks);
        changed /= 2;
        for (size_t b = static_cast<size_t>(changed); b < blocks; ++b) {
            Span s = below[2 * b];
            if (2 * b + 1 < below.size())
                merge(s, below[2 * b + 1]);
            level[b] = s;
        }
    }
}

SignalEnvelope::Span SignalEnvelope::span(const float* samples, int64_t from, int64_t to) const
{
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, count_);
    if (from >= to)
        return none();
    // Up to the first block boundary and from the last one, sample by sample.
    const int64_t block = int64_t{1} << kFirstShift;
    const int64_t alignedFrom = (from + block - 1) / block * block;
    const int64_t alignedTo = to / block * block;
    if (alignedFrom >= alignedTo)
        return ofSamples(samples, from, to);
    Span s = ofSamples(samples, from, alignedFrom);
    merge(s, ofSamples(samples, alignedTo, to));
    // Whole blocks in between, climbing while a block is aligned to the level above.
    int64_t b = alignedFrom >> kFirstShift;
    int64_t e = alignedTo >> kFirstShift;
    for (size_t k = 0; b < e && k < levels_.size(); ++k) {
        const std::vector<Span>& level = levels_[k];
        if (b & 1)
            merge(s, level[static_cast<size_t>(b++)]);
        if (e & 1)
            merge(s, level[static_cast<size_t>(--e)]);
        b >>= 1;
        e >>= 1;
    }
    return s;
}

}  // namespace dgaws
