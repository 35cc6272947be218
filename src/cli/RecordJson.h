#pragma once

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/RecordFields.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace dgaws::cli {

// Insertion-ordered, so a document lists fields in the order the records declare them.
using Json = nlohmann::ordered_json;

// JSON views of the stored records, walked from their field lists. Keys are the records'
// own field names so that scripts can address them by the names the rest of the system
// uses. Only listed fields appear: working fields of a loaded record always hold their
// defaults and would only mislead. Non-finite numbers (a damaged file can hold them) become
// null, keeping the document valid.

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
// With the type code and its name after the flags they come from.
Json toJson(const PeakRecord& p);
Json toJson(const PeakTable& t);
// With the run's duration, which saves every consumer the index-to-time arithmetic.
Json toJson(const ChromatogramData& d, bool includeSamples);
// With the file the entry was read from, first.
Json toJson(const MethodLibraryEntry& e);
// Any other record, field by field.
template <Described R> Json toJson(const R& record);

// Any list of records as a JSON array.
template <class T> Json toJsonArray(const std::vector<T>& list)
{
    Json a = Json::array();
    for (const T& e : list)
        a.push_back(toJson(e));
    return a;
}

namespace detail {

template <class T> Json jsonValue(const T& v)
{
    if constexpr (std::is_floating_point_v<T>) {
        return jsonNumber(v);
    } else if constexpr (std::is_same_v<T, bool>) {
        return v ? 1 : 0;  // as stored, so that scripts read a flag the way the file has it
    } else if constexpr (std::is_integral_v<T> || std::is_same_v<T, std::string>) {
        return v;
    } else if constexpr (std::is_array_v<T> || fields::kIsStdArray<T> || fields::kIsVector<T>) {
        Json a = Json::array();
        for (const auto& e : v)
            a.push_back(jsonValue(e));
        return a;
    } else {
        return toJson(v);
    }
}

// The field list walks stored order, which for a few records is not the order they
// declare; members lie at rising addresses in declaration order, so sorting by address
// gives the document the declared order.
template <class R> class JsonFields : public fields::CurrentLayout {
public:
    JsonFields(const R& record, bool includeSamples)
        : record_(record), includeSamples_(includeSamples)
    {}

    template <class T> void field(const char* name, T R::*m, FieldTags = {})
    {
        const T& value = record_.*m;
        Json j;
        if constexpr (std::is_same_v<T, SignalBuffer>)
            j = toJson(value, includeSamples_);
        else
            j = jsonValue(value);
        entries_.emplace_back(static_cast<const void*>(&value), name, std::move(j));
    }
    template <class T> void custom(const char* name, T R::*m, StoredForm<T>) { field(name, m); }

    Json take()
    {
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return std::less<const void*>()(std::get<0>(a), std::get<0>(b));
        });
        Json j = Json::object();
        for (auto& [address, name, value] : entries_)
            j[name] = std::move(value);
        return j;
    }

private:
    using Entry = std::tuple<const void*, const char*, Json>;
    const R& record_;
    bool includeSamples_;
    std::vector<Entry> entries_;
};

template <class R> Json recordJson(const R& record, bool includeSamples = false)
{
    JsonFields<R> v(record, includeSamples);
    visitFields(v, Record<R>{});
    return v.take();
}

}  // namespace detail

template <Described R> Json toJson(const R& record)
{
    return detail::recordJson(record);
}

}  // namespace dgaws::cli
