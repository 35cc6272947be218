#pragma once

#include "PeakRecord.h"

#include <vector>

namespace dgaws {

// Peaks in ascending order of startIndex, held by value.
class PeakTable {
public:
    int size() const { return static_cast<int>(peaks_.size()); }
    bool empty() const { return peaks_.empty(); }
    void setSize(int n) { peaks_.resize(n < 0 ? 0 : static_cast<size_t>(n)); }
    void clear() { peaks_.clear(); }

    void insertAt(int i, const PeakRecord& p);
    void removeAt(int i);
    void append(const PeakRecord& p) { peaks_.push_back(p); }
    // A manual peak goes before the first peak whose startIndex is not smaller than the
    // new peak's endIndex; returns where it went.
    int insertManual(const PeakRecord& p);

    PeakRecord& operator[](int i) { return peaks_[static_cast<size_t>(i)]; }
    const PeakRecord& operator[](int i) const { return peaks_[static_cast<size_t>(i)]; }

    std::vector<PeakRecord>& records() { return peaks_; }
    const std::vector<PeakRecord>& records() const { return peaks_; }
    auto begin() { return peaks_.begin(); }
    auto end() { return peaks_.end(); }
    auto begin() const { return peaks_.begin(); }
    auto end() const { return peaks_.end(); }

    bool operator==(const PeakTable& o) const { return peaks_ == o.peaks_; }

private:
    std::vector<PeakRecord> peaks_;
};

}  // namespace dgaws
