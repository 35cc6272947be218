#include "RecordJson.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace dgaws::cli {

namespace {

template <class It> Json numberArray(It first, It last)
{
    Json a = Json::array();
    for (; first != last; ++first)
        a.push_back(jsonNumber(*first));
    return a;
}

}  // namespace

Json jsonNumber(double v)
{
    if (!std::isfinite(v))
        return nullptr;
    return v;
}

Json jsonNumber(float v)
{
    if (!std::isfinite(v))
        return nullptr;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    double d = 0.0;
    std::from_chars(buf, r.ptr, d);
    return d;
}

Json toJson(const FormatVersion& v)
{
    return {{"tag", v.text()}, {"number", v.number}};
}

Json toJson(const OleDateTime& t)
{
    Json j = {{"status", t.status}, {"date", jsonNumber(t.date)}};
    const std::string text = t.format("%Y-%m-%d %H:%M:%S");
    j["text"] = text.empty() ? Json(nullptr) : Json(text);
    return j;
}

SignalRange finiteRange(const SignalBuffer& s)
{
    SignalRange r;
    for (float x : s.values()) {
        if (!std::isfinite(x))
            continue;
        if (!r.valid || x < r.min)
            r.min = x;
        if (!r.valid || x > r.max)
            r.max = x;
        r.valid = true;
    }
    return r;
}

Json toJson(const SignalBuffer& s, bool includeSamples)
{
    Json j = {{"count", s.count()}};
    const std::vector<float>& v = s.values();
    const SignalRange range = finiteRange(s);
    j["min"] = range.valid ? jsonNumber(range.min) : Json(nullptr);
    j["max"] = range.valid ? jsonNumber(range.max) : Json(nullptr);
    j["first"] = v.empty() ? Json(nullptr) : jsonNumber(v.front());
    j["last"] = v.empty() ? Json(nullptr) : jsonNumber(v.back());
    if (includeSamples)
        j["samples"] = numberArray(v.begin(), v.end());
    return j;
}

Json toJson(const PeakRecord& p)
{
    const int code = peakTypeCode(p.typeFlags);
    Json fields = detail::recordJson(p);
    Json j = Json::object();
    for (auto& [key, value] : fields.items()) {
        j[key] = std::move(value);
        if (key == "typeFlags") {
            j["typeCode"] = code;
            j["typeName"] = peakTypeName(code);
        }
    }
    return j;
}

Json toJson(const PeakTable& t)
{
    return toJsonArray(t.records());
}

Json toJson(const ChromatogramData& d, bool includeSamples)
{
    Json j = detail::recordJson(d, includeSamples);
    j["duration"] = jsonNumber(d.duration());
    return j;
}

Json toJson(const MethodLibraryEntry& e)
{
    Json j = {{"path", e.path}};
    j.update(detail::recordJson(e));
    return j;
}

}  // namespace dgaws::cli
