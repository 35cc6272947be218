#pragma once

#include "FormatVersion.h"
#include "OleDateTime.h"
#include "RecordFields.h"

#include <string>
#include <vector>

namespace dgaws {

// One instrument condition shown with the chromatogram.
struct InstrumentEntry {
    std::string label;
    std::string labelEn;
    std::string value;
    int flags = 1;

    bool operator==(const InstrumentEntry&) const = default;
};

template <class V> void visitFields(V& v, Record<InstrumentEntry>)
{
    using E = InstrumentEntry;
    v.field("label", &E::label);
    if (v.format() >= Format::EnglishLabels)
        v.field("labelEn", &E::labelEn);
    v.field("value", &E::value);
    v.field("flags", &E::flags);
}

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

template <class V> void visitFields(V& v, Record<GroupDefinition>)
{
    using G = GroupDefinition;
    v.field("groupNo", &G::groupNo);
    v.field("groupName", &G::groupName);
    v.field("windowStart", &G::windowStart);
    v.field("windowEnd", &G::windowEnd);
}

// The previous test, kept for the gas production rate: a date-time, two texts, seven doubles.
struct TestRecordBlock {
    OleDateTime testTime;
    std::string text1;
    std::string text2;
    double values[7] = {0, 0, 0, 0, 0, 0, 0};

    bool operator==(const TestRecordBlock&) const = default;
};

template <class V> void visitFields(V& v, Record<TestRecordBlock>)
{
    using T = TestRecordBlock;
    v.field("testTime", &T::testTime);
    v.field("text1", &T::text1);
    v.field("text2", &T::text2);
    v.field("values", &T::values);
}

// One part of a name: a kind and a text (file names, subfolder layers).
struct NamePart {
    int partType = 0;
    std::string partText;

    bool operator==(const NamePart&) const = default;
};

template <class V> void visitFields(V& v, Record<NamePart>)
{
    v.field("partType", &NamePart::partType);
    v.field("partText", &NamePart::partText);
}

struct NamingBlock {
    std::vector<NamePart> parts;
    int namingOption = 0;

    bool operator==(const NamingBlock&) const = default;
};

template <class V> void visitFields(V& v, Record<NamingBlock>)
{
    v.field("parts", &NamingBlock::parts);
    v.field("namingOption", &NamingBlock::namingOption);
}

struct ListCEntry {
    double c[6] = {0, 0, 0, 0, 0, 0};
    int cFlag = 0;

    bool operator==(const ListCEntry&) const = default;
};

template <class V> void visitFields(V& v, Record<ListCEntry>)
{
    v.field("c", &ListCEntry::c);
    v.field("cFlag", &ListCEntry::cFlag);
}

struct ListCBlock {
    std::vector<ListCEntry> entries;
    int cOption1 = 0, cOption2 = 0, cOption3 = 0, cOption4 = 0;

    bool operator==(const ListCBlock&) const = default;
};

template <class V> void visitFields(V& v, Record<ListCBlock>)
{
    using B = ListCBlock;
    v.field("entries", &B::entries);
    v.field("cOption1", &B::cOption1);
    v.field("cOption2", &B::cOption2);
    v.field("cOption3", &B::cOption3);
    v.field("cOption4", &B::cOption4);
}

struct ListDEntry {
    int dKey = 0;
    double d1 = 0.0, d2 = 0.0, d3 = 0.0, d4 = 0.0;

    bool operator==(const ListDEntry&) const = default;
};

template <class V> void visitFields(V& v, Record<ListDEntry>)
{
    using E = ListDEntry;
    v.field("dKey", &E::dKey);
    v.field("d1", &E::d1);
    v.field("d2", &E::d2);
    v.field("d3", &E::d3);
    v.field("d4", &E::d4);
}

struct ListDBlock {
    std::vector<ListDEntry> entries;
    int dOption = 0;

    bool operator==(const ListDBlock&) const = default;
};

template <class V> void visitFields(V& v, Record<ListDBlock>)
{
    v.field("entries", &ListDBlock::entries);
    v.field("dOption", &ListDBlock::dOption);
}

}  // namespace dgaws
