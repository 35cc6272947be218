#include "RecordJson.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace dgaws::cli {

namespace {

template <class It>
Json numberArray(It first, It last)
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
    return {
        {"number", p.number},
        {"detectTag", p.detectTag},
        {"apexIndex", p.apexIndex},
        {"retentionTime", jsonNumber(p.retentionTime)},
        {"startIndex", p.startIndex},
        {"endIndex", p.endIndex},
        {"startValue", jsonNumber(p.startValue)},
        {"apexValue", jsonNumber(p.apexValue)},
        {"endValue", jsonNumber(p.endValue)},
        {"baselineStartIndex", p.baselineStartIndex},
        {"baselineEndIndex", p.baselineEndIndex},
        {"baselineStartValue", jsonNumber(p.baselineStartValue)},
        {"baselineEndValue", jsonNumber(p.baselineEndValue)},
        {"typeFlags", p.typeFlags},
        {"typeCode", code},
        {"typeName", peakTypeName(code)},
        {"eventTag", p.eventTag},
        {"area", jsonNumber(p.area)},
        {"height", jsonNumber(p.height)},
        {"areaPercent", jsonNumber(p.areaPercent)},
        {"gasContent", jsonNumber(p.gasContent)},
        {"oilContent", jsonNumber(p.oilContent)},
        {"halfWidth", jsonNumber(p.halfWidth)},
        {"tailingFactor", jsonNumber(p.tailingFactor)},
        {"plates", jsonNumber(p.plates)},
        {"resolution", jsonNumber(p.resolution)},
        {"componentIndex", p.componentIndex},
        {"componentName", p.componentName},
        {"displayFlags", p.displayFlags},
        {"excluded", p.excluded},
    };
}

Json toJson(const PeakTable& t)
{
    return toJsonArray(t.records());
}

Json toJson(const DisplayColors& c)
{
    return {
        {"rulerColor", c.rulerColor},
        {"rulerBackColor", c.rulerBackColor},
        {"baselineColor", c.baselineColor},
        {"peakInfoColor", c.peakInfoColor},
        {"peakMarkColor", c.peakMarkColor},
        {"selectedPeakColor", c.selectedPeakColor},
        {"traceColor", c.traceColor},
        {"backgroundColor", c.backgroundColor},
    };
}

Json toJson(const GroupResult& g)
{
    return {
        {"groupNo", g.groupNo},
        {"groupName", g.groupName},
        {"windowStart", jsonNumber(g.windowStart)},
        {"windowEnd", jsonNumber(g.windowEnd)},
        {"peakCount", g.peakCount},
        {"totalArea", jsonNumber(g.totalArea)},
        {"totalHeight", jsonNumber(g.totalHeight)},
        {"totalContent", jsonNumber(g.totalContent)},
    };
}

Json toJson(const InstrumentEntry& e)
{
    return {{"label", e.label}, {"labelEn", e.labelEn}, {"value", e.value}, {"flags", e.flags}};
}

Json toJson(const GroupDefinition& g)
{
    return {
        {"groupNo", g.groupNo},
        {"groupName", g.groupName},
        {"windowStart", jsonNumber(g.windowStart)},
        {"windowEnd", jsonNumber(g.windowEnd)},
    };
}

Json toJson(const TestRecordBlock& t)
{
    return {
        {"testTime", toJson(t.testTime)},
        {"text1", t.text1},
        {"text2", t.text2},
        {"values", numberArray(std::begin(t.values), std::end(t.values))},
    };
}

Json toJson(const NamePart& p)
{
    return {{"partType", p.partType}, {"partText", p.partText}};
}

Json toJson(const NamingBlock& b)
{
    return {{"parts", toJsonArray(b.parts)}, {"namingOption", b.namingOption}};
}

Json toJson(const ListCBlock& b)
{
    Json entries = Json::array();
    for (const ListCEntry& e : b.entries)
        entries.push_back({{"c", numberArray(std::begin(e.c), std::end(e.c))}, {"cFlag", e.cFlag}});
    return {
        {"entries", std::move(entries)},
        {"cOption1", b.cOption1},
        {"cOption2", b.cOption2},
        {"cOption3", b.cOption3},
        {"cOption4", b.cOption4},
    };
}

Json toJson(const ListDBlock& b)
{
    Json entries = Json::array();
    for (const ListDEntry& e : b.entries)
        entries.push_back({
            {"dKey", e.dKey},
            {"d1", jsonNumber(e.d1)},
            {"d2", jsonNumber(e.d2)},
            {"d3", jsonNumber(e.d3)},
            {"d4", jsonNumber(e.d4)},
        });
    return {{"entries", std::move(entries)}, {"dOption", b.dOption}};
}

Json toJson(const IntegrationParams& p)
{
    return {
        {"heightRatio", jsonNumber(p.heightRatio)},
        {"riderRatio", jsonNumber(p.riderRatio)},
        {"lockTime", jsonNumber(p.lockTime)},
        {"judgeWidth", p.judgeWidth},
        {"minArea", jsonNumber(p.minArea)},
        {"minHeight", jsonNumber(p.minHeight)},
        {"slope", jsonNumber(p.slope)},
        {"smoothWidth", p.smoothWidth},
        {"stopTime", jsonNumber(p.stopTime)},
        {"timeDoubling", jsonNumber(p.timeDoubling)},
        {"peakWidth", p.peakWidth},
    };
}

Json toJson(const TimeEvent& e)
{
    return {
        {"time", jsonNumber(e.time)},
        {"peakWidth", e.peakWidth},
        {"slope", jsonNumber(e.slope)},
        {"type", e.type},
    };
}

Json toJson(const ManualEvent& e)
{
    return {{"peak", toJson(e.peak)}, {"kind", e.kind}, {"time", jsonNumber(e.time)}};
}

Json toJson(const ReportColumn& c)
{
    return {{"key", c.key}, {"caption", c.caption}, {"visible", c.visible}, {"width", c.width}};
}

Json toJson(const ReportSettings& r)
{
    return {
        {"language", r.language},
        {"title", r.title},
        {"subtitle", r.subtitle},
        {"laboratory", r.laboratory},
        {"footer", r.footer},
        {"columns", toJsonArray(r.columns)},
        {"marginLeft", jsonNumber(r.marginLeft)},
        {"marginTop", jsonNumber(r.marginTop)},
        {"marginRight", jsonNumber(r.marginRight)},
        {"marginBottom", jsonNumber(r.marginBottom)},
        {"showChromatogram", r.showChromatogram},
        {"showPeakTable", r.showPeakTable},
        {"showInstrument", r.showInstrument},
        {"showSampleInfo", r.showSampleInfo},
        {"decimals", r.decimals},
        {"showDiagnosis", r.showDiagnosis},
    };
}

Json toJson(const ComponentEntry& c)
{
    return {
        {"index", c.index},
        {"name", c.name},
        {"formula", c.formula},
        {"retentionTime", jsonNumber(c.retentionTime)},
        {"timeWindow", jsonNumber(c.timeWindow)},
        {"isInternalStandard", c.isInternalStandard},
        {"internalStandardIndex", c.internalStandardIndex},
        {"factor1", jsonNumber(c.factor1)},
        {"factor2", jsonNumber(c.factor2)},
        {"factor3", jsonNumber(c.factor3)},
        {"factor4", jsonNumber(c.factor4)},
        {"correlation", jsonNumber(c.correlation)},
        {"curveType", c.curveType},
        {"groupParentIndex", c.groupParentIndex},
        {"concentrations", numberArray(c.concentrations.begin(), c.concentrations.end())},
    };
}

Json toJson(const AnalysisMethod& m)
{
    Json j = Json::object();
    j["version"] = toJson(m.version);
    j["blockSize"] = m.blockSize;
    j["name"] = m.name;
    j["visible"] = m.visible;
    j["text3"] = m.text3;
    j["text4"] = m.text4;
    j["saveFolder"] = m.saveFolder;
    j["option1"] = m.option1;
    j["option2"] = m.option2;
    j["option3"] = m.option3;
    j["option4"] = m.option4;
    j["listA"] = toJsonArray(m.listA);
    j["autoName1"] = m.autoName1;
    j["autoName2"] = m.autoName2;
    j["text5"] = m.text5;
    j["text6"] = m.text6;
    j["option5"] = m.option5;
    j["option6"] = m.option6;
    j["fileNaming"] = toJson(m.fileNaming);
    j["deviceNo"] = m.deviceNo;
    j["tester"] = m.tester;
    j["serialNo"] = m.serialNo;
    j["sendingCompany"] = m.sendingCompany;
    j["sampleText1"] = m.sampleText1;
    j["sampleText2"] = m.sampleText2;
    j["option7"] = m.option7;
    j["instrumentInfo"] = toJsonArray(m.instrumentInfo);
    j["listC"] = toJson(m.listC);
    j["listD"] = toJson(m.listD);
    j["quantOption1"] = m.quantOption1;
    j["quantOption2"] = m.quantOption2;
    j["calcMethod"] = m.calcMethod;
    j["impurityCalc"] = m.impurityCalc;
    j["groupCalc"] = m.groupCalc;
    j["groups"] = toJsonArray(m.groups);
    j["ambientPressure"] = jsonNumber(m.ambientPressure);
    j["ambientTemperature"] = jsonNumber(m.ambientTemperature);
    j["gasVolume"] = jsonNumber(m.gasVolume);
    j["oilVolume"] = jsonNumber(m.oilVolume);
    j["oilOption1"] = m.oilOption1;
    j["oilOption2"] = m.oilOption2;
    j["oilOption3"] = m.oilOption3;
    j["oilOption4"] = m.oilOption4;
    j["oilOption5"] = m.oilOption5;
    j["oilOption6"] = m.oilOption6;
    j["oilValue1"] = jsonNumber(m.oilValue1);
    j["oilValue2"] = jsonNumber(m.oilValue2);
    j["oilOption7"] = m.oilOption7;
    j["testRecord"] = toJson(m.testRecord);
    j["integration"] = toJson(m.integration);
    j["timeProgramEnabled"] = m.timeProgramEnabled;
    j["timeProgram"] = toJsonArray(m.timeProgram);
    j["useManualEvents"] = m.useManualEvents;
    j["manualEvents"] = toJsonArray(m.manualEvents);
    j["option8"] = m.option8;
    j["timeEnd"] = jsonNumber(m.timeEnd);
    j["timeStart"] = jsonNumber(m.timeStart);
    j["levelMin"] = jsonNumber(m.levelMin);
    j["levelMax"] = jsonNumber(m.levelMax);
    j["option9"] = m.option9;
    j["colors"] = toJson(m.colors);
    j["report"] = toJson(m.report);
    j["components"] = toJsonArray(m.components);
    return j;
}

Json toJson(const ComponentResponse& r)
{
    return {
        {"retentionTime", jsonNumber(r.retentionTime)},
        {"area", jsonNumber(r.area)},
        {"height", jsonNumber(r.height)},
    };
}

Json toJson(const StandardRun& r)
{
    return {{"path", r.path}, {"responses", toJsonArray(r.responses)}};
}

Json toJson(const StandardLevel& l)
{
    return {{"runs", toJsonArray(l.runs)}};
}

Json toJson(const CalibrationCurve& c)
{
    return {
        {"name", c.name},
        {"calibrated", c.calibrated},
        {"impurityFactor1", jsonNumber(c.impurityFactor1)},
        {"impurityFactor2", jsonNumber(c.impurityFactor2)},
        {"baseComponentIndex", c.baseComponentIndex},
        {"components", toJsonArray(c.components)},
        {"levels", toJsonArray(c.levels)},
    };
}

Json toJson(const ChromatogramData& d, bool includeSamples)
{
    Json j = Json::object();
    j["version"] = toJson(d.version);
    j["method"] = toJson(d.method);
    j["signal"] = toJson(d.signal, includeSamples);
    j["peaks"] = toJson(d.peaks);
    j["colors"] = toJson(d.colors);
    j["signalMax"] = jsonNumber(d.signalMax);
    j["signalMin"] = jsonNumber(d.signalMin);
    j["evaluated"] = d.evaluated;
    j["injectionTime"] = toJson(d.injectionTime);
    j["hasData"] = d.hasData;
    j["pointsPerSecond"] = d.pointsPerSecond;
    j["sampleType"] = d.sampleType;
    j["reserved1"] = d.reserved1;
    j["standardLevel"] = d.standardLevel;
    j["standardRun"] = d.standardRun;
    j["editMode"] = d.editMode;
    j["internalStdAmount"] = jsonNumber(d.internalStdAmount);
    j["sampleAmount"] = jsonNumber(d.sampleAmount);
    j["methodName"] = d.methodName;
    j["calibrationName"] = d.calibrationName;
    j["groupResults"] = toJsonArray(d.groupResults);
    j["linkedFile"] = d.linkedFile;
    j["totalHydrocarbons"] = jsonNumber(d.totalHydrocarbons);
    j["ratioCode1"] = d.ratioCode1;
    j["ratioCode2"] = d.ratioCode2;
    j["ratioCode3"] = d.ratioCode3;
    j["conclusion"] = d.conclusion;
    j["advice"] = d.advice;
    j["gasInOil"] = numberArray(d.gasInOil.begin(), d.gasInOil.end());
    j["diagnosisCode"] = d.diagnosisCode;
    j["diagnosisCode2"] = d.diagnosisCode2;
    j["extraTexts"] = d.extraTexts;
    // Derived, not stored: saves every consumer the index-to-time arithmetic.
    j["duration"] = jsonNumber(d.duration());
    return j;
}

Json toJson(const MethodLibraryEntry& e)
{
    return {
        {"path", e.path},
        {"method", toJson(e.method)},
        {"curves", toJsonArray(e.curves)},
        {"defaultComponents", toJsonArray(e.defaultComponents)},
    };
}

}  // namespace dgaws::cli
