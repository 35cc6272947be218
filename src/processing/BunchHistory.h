#pragma once

#include "RingBuffer.h"

#include <cstdint>

namespace dgaws {

enum class SlopeClass : int32_t { Flat = 0, Rise = 1, Fall = 2 };
enum class CurveClass : int32_t { Level = 0, Up = 1, Down = 2 };

// One bunch of smoothed samples as the detector remembers it.
struct Bunch {
    float mean = 0.0f;
    int32_t centre = 0;  // sample index the bunch stands for
    double slope = 0.0;
    SlopeClass slopeClass = SlopeClass::Flat;
    CurveClass curveClass = CurveClass::Level;
};

// Classes of the newest N bunches, counted.
struct Tally {
    int rises = 0;
    int falls = 0;
    int flats = 0;
    int ups = 0;
    int downs = 0;
    int levels = 0;
};

// The detector's short memory of bunches. The five per-bunch values live in one entry
// because they are always added and trimmed together. Entry 0 is the oldest.
class BunchHistory {
public:
    int size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const Bunch& operator[](int i) const { return entries_[i]; }
    const Bunch& newest() const { return entries_.newest(); }

    void clear() { entries_.clear(); }
    void add(const Bunch& b) { entries_.push(b); }
    // Keeps fewer than `limit` entries.
    void trim(int limit)
    {
        while (entries_.size() > 0 && entries_.size() >= limit)
            entries_.dropOldest();
    }

    Tally tally(int newestCount) const;

    // Walks back from the newest entry; each returns the entry where the walk stops.
    // A peak start: the first entry that is not rising, entry 0, or a centre at or
    // before the first sample.
    int startEntry() const;
    // The apex: back to the first rising entry (entry 0 is not examined), then forward
    // by half the flat entries passed on the way.
    int apexEntry() const;
    // A valley (and the start-signal detector's end): back over rising entries to the
    // first other one, or entry 0.
    int valleyEntry() const;
    // The start-signal detector's start: the first flat or rising entry, entry 0, or a
    // centre at or before the first sample.
    int fallStartEntry() const;

private:
    RingBuffer<Bunch> entries_;
};

}  // namespace dgaws
