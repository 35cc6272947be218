#pragma once

#include "RecordFields.h"

#include <string>

namespace dgaws {

namespace PeakFlag {
constexpr int StartsInValley = 0x1;
constexpr int EndsInValley = 0x2;
constexpr int FixedBaselineStart = 0x4;
constexpr int FixedBaselineEnd = 0x8;
constexpr int TailingWithRidersBehind = 0x10;
constexpr int RiderOnTail = 0x20;
constexpr int TailingWithRidersBefore = 0x40;
constexpr int RiderOnFront = 0x80;
constexpr int Negative = 0x100;
}  // namespace PeakFlag

namespace PeakLabel {
constexpr int RetentionTime = 0x1;
constexpr int Number = 0x2;
constexpr int ComponentName = 0x4;
constexpr int Height = 0x8;
constexpr int Area = 0x10;
constexpr int Type = 0x20;
constexpr int Percent = 0x40;
constexpr int HideMarks = 0x100;
}  // namespace PeakLabel

// One peak, copied by value; field order is the declared order of the record.
struct PeakRecord {
    int number = 0;
    int detectTag = 0;
    int apexIndex = 0;
    double retentionTime = 0.0;
    int startIndex = 0;
    int endIndex = 0;
    float startValue = 0.0f;
    float apexValue = 0.0f;
    float endValue = 0.0f;
    int baselineStartIndex = 0;
    int baselineEndIndex = 0;
    float baselineStartValue = 0.0f;
    float baselineEndValue = 0.0f;
    int typeFlags = 0;
    int eventTag = 0;
    double area = 0.0;
    double height = 0.0;
    double areaPercent = 0.0;
    double gasContent = 0.0;
    double oilContent = 0.0;
    double workValue = 0.0;  // not stored
    double halfWidth = 0.0;
    double tailingFactor = 0.0;
    double plates = 0.0;
    double resolution = 0.0;
    int componentIndex = -1;
    std::string componentName;
    int displayFlags = PeakLabel::RetentionTime;
    int excluded = 0;
    int scratch = 0;  // not stored

    bool operator==(const PeakRecord&) const = default;
};

template <class V> void visitFields(V& v, Record<PeakRecord>)
{
    using P = PeakRecord;
    v.field("number", &P::number);
    v.field("detectTag", &P::detectTag);
    v.field("startIndex", &P::startIndex);
    v.field("apexIndex", &P::apexIndex);
    v.field("retentionTime", &P::retentionTime);
    v.field("endIndex", &P::endIndex);
    v.field("startValue", &P::startValue);
    v.field("apexValue", &P::apexValue);
    v.field("endValue", &P::endValue);
    v.field("baselineStartIndex", &P::baselineStartIndex);
    v.field("baselineEndIndex", &P::baselineEndIndex);
    v.field("baselineStartValue", &P::baselineStartValue);
    v.field("baselineEndValue", &P::baselineEndValue);
    v.field("typeFlags", &P::typeFlags);
    v.field("eventTag", &P::eventTag);
    v.field("area", &P::area);
    v.field("height", &P::height);
    v.field("areaPercent", &P::areaPercent);
    v.field("gasContent", &P::gasContent);
    if (v.format() >= Format::OilTest)
        v.field("oilContent", &P::oilContent);
    v.field("halfWidth", &P::halfWidth);
    v.field("tailingFactor", &P::tailingFactor);
    v.field("plates", &P::plates);
    v.field("resolution", &P::resolution);
    v.field("componentIndex", &P::componentIndex);
    v.field("componentName", &P::componentName);
    v.field("displayFlags", &P::displayFlags);
    v.field("excluded", &P::excluded);
}

// The type code shown to the operator, first match of the flag rules.
int peakTypeCode(int typeFlags);
// "独立峰(BB)" ... "负  峰(N)"; an empty text for a code outside the table.
const char* peakTypeName(int code);

}  // namespace dgaws
