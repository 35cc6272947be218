#pragma once

#include "FormatVersion.h"
#include "OleDateTime.h"

#include <string>
#include <vector>

namespace dgaws {

// One instrument condition shown with the chromatogram.
struct InstrumentEntry {
    FormatVersion version;  // not stored
    std::string label;
    std::string labelEn;    // stored from format 600 on
    std::string value;
    int flags = 1;

    bool operator==(const InstrumentEntry& o) const
    {
        return label == o.label && labelEn == o.labelEn && value == o.value && flags == o.flags;
    }
};

// The gas-chromatograph set every new method starts with.
std::vector<InstrumentEntry> defaultInstrumentEntries();

// A named time window of peaks that are totalled together.
struct GroupDefinition {
    int groupNo = 0;
    std::string groupName;
    double windowStart = 0.0;  // minutes
    double windowEnd = 0.0;

    bool operator==(const GroupDefinition&) const = default;
};

// The previous test, kept for the gas production rate: a date-time, two texts, seven doubles.
struct TestRecordBlock {
    OleDateTime testTime;
    std::string text1;
    std::string text2;
    double values[7] = {0, 0, 0, 0, 0, 0, 0};

    bool operator==(const TestRecordBlock& o) const
    {
        for (int i = 0; i < 7; ++i)
            if (values[i] != o.values[i])
                return false;
        return testTime == o.testTime && text1 == o.text1 && text2 == o.text2;
    }
};

// One part of a name: a kind and a text (file names, subfolder layers).
struct NamePart {
    int partType = 0;
    std::string partText;

    bool operator==(const NamePart&) const = default;
};

struct NamingBlock {
    std::vector<NamePart> parts;
    int namingOption = 0;

    bool operator==(const NamingBlock&) const = default;
};

struct ListCEntry {
    double c[6] = {0, 0, 0, 0, 0, 0};
    int cFlag = 0;

    bool operator==(const ListCEntry& o) const
    {
        for (int i = 0; i < 6; ++i)
            if (c[i] != o.c[i])
                return false;
        return cFlag == o.cFlag;
    }
};

struct ListCBlock {
    std::vector<ListCEntry> entries;
    int cOption1 = 0, cOption2 = 0, cOption3 = 0, cOption4 = 0;

    bool operator==(const ListCBlock&) const = default;
};

struct ListDEntry {
    int dKey = 0;
    double d1 = 0.0, d2 = 0.0, d3 = 0.0, d4 = 0.0;

    bool operator==(const ListDEntry&) const = default;
};

struct ListDBlock {
    std::vector<ListDEntry> entries;
    int dOption = 0;

    bool operator==(const ListDBlock&) const = default;
};

}  // namespace dgaws
