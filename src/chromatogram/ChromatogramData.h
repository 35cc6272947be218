#pragma once

#include "AnalysisMethod.h"
#include "DisplayColors.h"
#include "FormatVersion.h"
#include "GroupResult.h"
#include "OleDateTime.h"
#include "PeakTable.h"
#include "RecordFields.h"
#include "SignalBuffer.h"

#include <array>
#include <string>
#include <vector>

namespace dgaws {

// Evaluation results of gas conversion, diagnosis and production rates that are never
// stored; reset together with the stored results.
struct WorkingResults {
    double gasVolumeOscillation = 0.0;  // Vg'
    double oilVolumeOscillation = 0.0;  // Vl'
    double gasVolumeVacuum = 0.0;       // Vg''
    double oilVolumeVacuum = 0.0;       // Vl''
    double volumeRatio = 0.0;
    double ratioC2H2C2H4 = 0.0;
    double ratioCH4H2 = 0.0;
    double ratioC2H4C2H6 = 0.0;
    // CH4, C2H2, C2H4, C2H6, H2, CO, CO2, total hydrocarbons; mL per day.
    std::array<double, 8> gasRates{};
    // Whether a diagnosis formed the rates above: no file stores them, so a chromatogram
    // just read has none, and its zeros must not print as "no gas produced".
    bool ratesComputed = false;

    bool operator==(const WorkingResults&) const = default;
};

// One chromatogram: what a .chg file stores, plus the record's unstored working fields.
struct ChromatogramData {
    static constexpr int kGasCount = 9;

    FormatVersion version;
    AnalysisMethod method;
    SignalBuffer signal;
    SignalBuffer workSignal;  // not stored
    PeakTable peaks;
    DisplayColors colors;
    float signalMax = 100000.0f;
    float signalMin = -10000.0f;
    int evaluated = 0;
    OleDateTime injectionTime = OleDateTime::now();
    bool hasData = false;
    int pointsPerSecond = 20;
    int sampleType = 0;  // 0 test sample, 1 standard sample
    int reserved1 = 0;
    int standardLevel = -1;
    int standardRun = -1;
    int editMode = 516;
    double internalStdAmount = 1.0;
    double sampleAmount = 100.0;
    std::string methodName;
    std::string calibrationName;
    std::vector<GroupResult> groupResults;
    int channel = 0;  // not stored
    std::string linkedFile;
    double totalHydrocarbons = 0.0;
    int ratioCode1 = -1;
    int ratioCode2 = -1;
    int ratioCode3 = -1;
    std::string conclusion;
    std::string advice;
    // Stored order: H2, CH4, C2H2, C2H4, C2H6, N2, O2, CO, CO2.
    std::array<double, kGasCount> gasInOil{};
    WorkingResults working;  // not stored
    int diagnosisCode = -1;
    int diagnosisCode2 = -1;
    std::array<std::string, 5> extraTexts;

    // Cleared before every diagnosis.
    void resetResults();
    // The reset for a new run: no data yet, extrema ready to be raised and lowered.
    void resetForRun(int samples, int rate);

    // index = truncation of pointsPerSecond x minutes x 60; a rate of 0 maps everything to 0.
    int timeToIndex(double minutes) const;
    double indexToTime(int index) const;
    double duration() const { return indexToTime(signal.count()); }
    double meanAbsoluteSignal() const;
    double rmsSignal() const;
    // First peak with startIndex < index < endIndex, or -1.
    int findPeakAt(double minutes) const;
    // The graph's label commands: 0x100 toggles the hide bit, any other value replaces.
    void setPeakLabels(int value);
    // Raises signalMax and lowers signalMin over all samples, starting from the given bounds.
    void scanExtrema(float startMax, float startMin);
};

// Stored forms of the .chg file that change with its format (ChromatogramFile.cpp).
// The file head: its three bytes as read, the current format when stored.
void ioFileHead(Archive& ar, FormatVersion& head, int format);
// The sample count, then the samples: floats, ints in the oldest formats.
void serializeSignal(Archive& ar, SignalBuffer& s, int format);
// A float, an int in the oldest formats.
void serializeExtremum(Archive& ar, float& v, int format);
// An int, a float for a while.
void serializeRate(Archive& ar, int& rate, int format);
// Passes over the second peak list that two older formats carried.
void skipDroppedPeakList(Archive& ar, ChromatogramData& d, int format);

template <class V> void visitFields(V& v, Record<ChromatogramData>)
{
    using D = ChromatogramData;
    v.custom("version", &D::version, &ioFileHead);
    v.field("method", &D::method);
    v.custom("signal", &D::signal, &serializeSignal);
    v.field("peaks", &D::peaks);
    v.field("colors", &D::colors);
    if (v.format() >= Format::DroppedPeakList && v.format() < Format::CurrentLayout)
        v.older(&skipDroppedPeakList, v.format());
    v.custom("signalMax", &D::signalMax, &serializeExtremum);
    v.custom("signalMin", &D::signalMin, &serializeExtremum);
    v.field("evaluated", &D::evaluated);
    v.field("injectionTime", &D::injectionTime);
    v.field("hasData", &D::hasData);
    v.custom("pointsPerSecond", &D::pointsPerSecond, &serializeRate);
    v.field("editMode", &D::editMode);
    v.field("sampleType", &D::sampleType);
    v.field("reserved1", &D::reserved1);
    v.field("standardLevel", &D::standardLevel);
    v.field("standardRun", &D::standardRun);
    v.field("internalStdAmount", &D::internalStdAmount);
    v.field("sampleAmount", &D::sampleAmount);
    v.field("methodName", &D::methodName);
    v.field("calibrationName", &D::calibrationName);
    if (v.format() >= Format::GroupResults)
        v.field("groupResults", &D::groupResults);
    if (v.format() < Format::CurrentLayout)
        return;
    v.field("linkedFile", &D::linkedFile);
    v.field("totalHydrocarbons", &D::totalHydrocarbons);
    v.field("diagnosisCode", &D::diagnosisCode);
    v.field("diagnosisCode2", &D::diagnosisCode2);
    v.field("conclusion", &D::conclusion);
    v.field("advice", &D::advice);
    v.field("ratioCode1", &D::ratioCode1);
    v.field("ratioCode2", &D::ratioCode2);
    v.field("ratioCode3", &D::ratioCode3);
    v.field("gasInOil", &D::gasInOil);
    if (v.format() >= Format::ExtraTexts)
        v.field("extraTexts", &D::extraTexts);
}

}  // namespace dgaws
