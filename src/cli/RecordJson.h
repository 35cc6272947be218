#pragma once

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodFile.h"

#include <nlohmann/json.hpp>

namespace dgaws::cli {

// Insertion-ordered, so a document lists fields in the records' stored order.
using Json = nlohmann::ordered_json;

// JSON views of the stored records. Keys are the records' own field names so that scripts
// can address them by the names the rest of the system uses. Only stored fields appear:
// working fields of a loaded record always hold their defaults and would only mislead.
// Non-finite numbers (a damaged file can hold them) become null, keeping the document valid.

// Extremes of the finite samples; NaN or infinite samples from a damaged file are passed over.
struct SignalRange {
    bool valid = false;  // false when no sample is finite
    float min = 0.0f;
    float max = 0.0f;
};
SignalRange finiteRange(const SignalBuffer& s);

// A double as JSON: null when NaN or infinite.
Json jsonNumber(double v);
// A float as JSON by its shortest decimal form, so 0.1f reads 0.1 and not 0.100000001...
Json jsonNumber(float v);

Json toJson(const FormatVersion& v);
Json toJson(const OleDateTime& t);
// Sample count and a summary (min, max, first, last over the finite samples); every
// sample too when `includeSamples` is set, since a long run holds hundreds of thousands.
Json toJson(const SignalBuffer& s, bool includeSamples);
Json toJson(const PeakRecord& p);
Json toJson(const PeakTable& t);
Json toJson(const DisplayColors& c);
Json toJson(const GroupResult& g);

Json toJson(const InstrumentEntry& e);
Json toJson(const GroupDefinition& g);
Json toJson(const TestRecordBlock& t);
Json toJson(const NamePart& p);
Json toJson(const NamingBlock& b);
Json toJson(const ListCBlock& b);
Json toJson(const ListDBlock& b);
Json toJson(const IntegrationParams& p);
Json toJson(const TimeEvent& e);
Json toJson(const ManualEvent& e);
Json toJson(const ReportColumn& c);
Json toJson(const ReportSettings& r);
Json toJson(const ComponentEntry& c);
Json toJson(const AnalysisMethod& m);

Json toJson(const ComponentResponse& r);
Json toJson(const StandardRun& r);
Json toJson(const StandardLevel& l);
Json toJson(const CalibrationCurve& c);

Json toJson(const ChromatogramData& d, bool includeSamples);
Json toJson(const MethodLibraryEntry& e);

// Any list of records as a JSON array.
template <class T>
Json toJsonArray(const std::vector<T>& list)
{
    Json a = Json::array();
    for (const T& e : list)
        a.push_back(toJson(e));
    return a;
}

}  // namespace dgaws::cli
