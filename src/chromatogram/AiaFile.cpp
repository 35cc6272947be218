#include "AiaFile.h"

#include "FileIO.h"
#include "InjectionStamp.h"
#include "SampleIndex.h"
#include "TextCodec.h"

#include <netcdfcpp.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace dgaws {
namespace {

// The unit of the workstation's own signals.
constexpr const char* kSignalUnit = "uV";

// ---------------------------------------------------------------------------------------
// Header check. The netCDF library trusts the counts of a classic header: a file that
// declares two billion dimensions makes it allocate and touch gigabytes, a variable that
// lies beyond the end of the file reads back as zeros, and the legacy C++ classes keep
// dimensions and variables in fixed arrays of NC_MAX_DIMS / NC_MAX_VARS entries and names
// in buffers of NC_MAX_NAME bytes. So the header is walked here first, with every count
// checked against the bytes that remain, before the library opens the file.

enum NcTypeCode : uint32_t { kByte = 1, kChar = 2, kShort = 3, kInt = 4, kFloat = 5, kDouble = 6 };

constexpr uint32_t kTagDimension = 0x0A;
constexpr uint32_t kTagVariable = 0x0B;
constexpr uint32_t kTagAttribute = 0x0C;
constexpr uint32_t kStreaming = 0xFFFFFFFFu;

uint64_t typeSize(uint32_t type)
{
    switch (type) {
    case kByte:
    case kChar: return 1;
    case kShort: return 2;
    case kInt:
    case kFloat: return 4;
    case kDouble: return 8;
    default: return 0;
    }
}

struct VarInfo {
    uint32_t type = 0;
    std::vector<uint32_t> dims;
    uint64_t begin = 0;
};

struct HeaderInfo {
    uint64_t fileSize = 0;
    uint32_t numRecords = 0;
    std::vector<uint64_t> dimLengths;  // 0 for the record dimension
    int recordDim = -1;
    std::map<std::string, VarInfo> vars;

    // Whether the values of `name` lie inside the file. Record variables are only bounded
    // (their records interleave with others), which is enough to keep allocations honest.
    bool holdsData(const std::string& name) const
    {
        const auto it = vars.find(name);
        if (it == vars.end())
            return false;
        const VarInfo& v = it->second;
        uint64_t count = 1;
        for (size_t i = 0; i < v.dims.size(); ++i) {
            uint64_t len = dimLengths[v.dims[i]];
            if (static_cast<int>(v.dims[i]) == recordDim)
                len = numRecords == kStreaming ? 0 : numRecords;
            if (len != 0 && count > fileSize / len)
                return false;
            count *= len;
        }
        const uint64_t bytes = count * typeSize(v.type);
        // A record variable without records may point past the end: nothing is there to read.
        return bytes == 0 || (v.begin <= fileSize && bytes <= fileSize - v.begin);
    }
};

class HeaderReader {
public:
    HeaderReader(const std::string& bytes, bool wideOffsets) : b_(bytes), wide_(wideOffsets) {}

    uint32_t u32()
    {
        need(4);
        const auto* p = reinterpret_cast<const unsigned char*>(b_.data() + pos_);
        pos_ += 4;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) |
            uint32_t(p[3]);
    }

    uint64_t offset()
    {
        if (!wide_)
            return u32();
        const uint64_t high = u32();
        return (high << 32) | u32();
    }

    void skip(uint64_t n)
    {
        need(n);
        pos_ += static_cast<size_t>(n);
    }

    std::string name()
    {
        const uint32_t len = u32();
        // The C++ classes copy names into buffers of NC_MAX_NAME bytes, terminator included.
        if (len == 0 || len >= NC_MAX_NAME)
            throw InterchangeError("netCDF header holds an invalid name");
        need(len);
        std::string s = b_.substr(pos_, len);
        skip(padded(len));
        return s;
    }

    // A list head: its count, 0 for an absent list. Each entry takes at least `minEntry`
    // bytes, so a count the rest of the file cannot hold is refused here.
    uint32_t listHead(uint32_t tag, uint64_t minEntry, uint32_t maxCount)
    {
        const uint32_t t = u32();
        const uint32_t n = u32();
        if (t == 0 && n == 0)
            return 0;
        if (t != tag || n > maxCount || n * minEntry > remaining())
            throw InterchangeError("netCDF header is damaged");
        return n;
    }

    void attributes()
    {
        const uint32_t n = listHead(kTagAttribute, 12, UINT32_MAX);
        for (uint32_t i = 0; i < n; ++i) {
            name();
            const uint32_t type = u32();
            const uint64_t size = typeSize(type);
            const uint32_t count = u32();
            if (size == 0)
                throw InterchangeError("netCDF header holds an unknown type");
            skip(padded(uint64_t(count) * size));
        }
    }

    uint64_t remaining() const { return b_.size() - pos_; }

private:
    static uint64_t padded(uint64_t n) { return (n + 3) & ~uint64_t(3); }

    void need(uint64_t n) const
    {
        if (n > remaining())
            throw InterchangeError("netCDF file is cut short in its header");
    }

    const std::string& b_;
    bool wide_;
    size_t pos_ = 0;
};

HeaderInfo checkHeader(const std::string& bytes)
{
    if (bytes.size() < 4 || bytes.compare(0, 3, "CDF") != 0)
        throw InterchangeError("not a netCDF file");
    const char version = bytes[3];
    if (version != 1 && version != 2)
        throw InterchangeError("not a netCDF classic file (only the classic and 64-bit offset "
                               "formats carry AIA chromatograms)");
    HeaderInfo info;
    info.fileSize = bytes.size();
    HeaderReader r(bytes, version == 2);
    r.skip(4);
    info.numRecords = r.u32();

    const uint32_t nDims = r.listHead(kTagDimension, 12, NC_MAX_DIMS);
    for (uint32_t i = 0; i < nDims; ++i) {
        r.name();
        const uint32_t len = r.u32();
        if (len == 0) {
            if (info.recordDim >= 0)
                throw InterchangeError("netCDF header declares two record dimensions");
            info.recordDim = static_cast<int>(i);
        }
        info.dimLengths.push_back(len);
    }
    r.attributes();

    const uint32_t nVars = r.listHead(kTagVariable, 28, NC_MAX_VARS);
    for (uint32_t i = 0; i < nVars; ++i) {
        std::string name = r.name();
        VarInfo v;
        const uint32_t nd = r.u32();
        if (nd > NC_MAX_VAR_DIMS || uint64_t(nd) * 4 > r.remaining())
            throw InterchangeError("netCDF header is damaged");
        for (uint32_t k = 0; k < nd; ++k) {
            const uint32_t id = r.u32();
            if (id >= nDims)
                throw InterchangeError("netCDF variable refers to a missing dimension");
            v.dims.push_back(id);
        }
        r.attributes();
        v.type = r.u32();
        if (typeSize(v.type) == 0)
            throw InterchangeError("netCDF header holds an unknown type");
        r.u32();  // vsize: recomputed from the shape instead of trusted
        v.begin = r.offset();
        info.vars[std::move(name)] = std::move(v);
    }
    // A file cut short keeps a sound header; the library would read the missing values
    // as fill values, so a chromatogram would silently end in zeros.
    for (const auto& entry : info.vars)
        if (!info.holdsData(entry.first))
            throw InterchangeError("netCDF file is cut short: " + entry.first +
                                   " lies beyond its end");
    return info;
}

// ---------------------------------------------------------------------------------------
// Reading through the library. NcError must outlive every netCDF object of a scope: the
// library's default handling calls exit() on any error, destructors included.

std::optional<float> readScalar(const NcFile& file, const HeaderInfo& h, const char* name)
{
    NcVar* v = file.get_var(name);
    if (v == nullptr || !v->is_valid() || v->type() == ncChar || !h.holdsData(name))
        return std::nullopt;
    float value = 0.0f;
    bool ok = false;
    if (v->num_dims() == 0) {
        ok = v->get(&value);
    } else if (v->num_dims() == 1) {
        const NcDim* d = v->get_dim(0);
        ok = d != nullptr && d->is_valid() && d->size() == 1 && v->get(&value, 1);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The values of a numeric variable of shape [length], or nothing when the file lacks it or
// has it in another shape.
std::optional<std::vector<float>> readSeries(const NcFile& file, const HeaderInfo& h,
                                             const char* name, long length)
{
    NcVar* v = file.get_var(name);
    if (v == nullptr || !v->is_valid() || v->type() == ncChar || v->num_dims() != 1 ||
        !h.holdsData(name))
        return std::nullopt;
    const NcDim* d = v->get_dim(0);
    if (d == nullptr || !d->is_valid() || d->size() != length)
        return std::nullopt;
    std::vector<float> values(static_cast<size_t>(length));
    if (length > 0 && !v->get(values.data(), length))
        return std::nullopt;
    return values;
}

long dimensionSize(const NcFile& file, const char* name)
{
    const NcDim* d = file.get_dim(name);
    if (d == nullptr || !d->is_valid())
        return -1;
    return d->size();
}

// 1 / interval rounded up. The reciprocal is taken in single precision, the precision the
// file holds the interval in: 1/50 stored as a float is 0.0199999996, whose exact reciprocal
// 50.000001 would round up to 51. 0 when the figure is unusable.
int rateFromInterval(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return 0;
    const double perSecond = static_cast<float>(1.0 / seconds);
    if (!std::isfinite(perSecond) || perSecond > kMaxImportedRate)
        return 0;
    return std::max(1, static_cast<int>(std::ceil(perSecond)));
}

// Whether the samples of a file with this interval already lie on the grid of `rate`.
bool onGrid(double seconds, int rate)
{
    return std::fabs(static_cast<float>(1.0 / seconds) - rate) <= 1e-4 * rate;
}

// Retention times usable as a time axis: finite, never decreasing, spanning some time and
// ending after the injection.
bool usableTimes(const std::vector<double>& t)
{
    if (t.size() < 2)
        return false;
    for (size_t i = 0; i < t.size(); ++i) {
        if (!std::isfinite(t[i]) || (i > 0 && t[i] < t[i - 1]))
            return false;
    }
    return t.back() > t.front() && t.back() > 0.0;
}

// Linear interpolation of the samples, taken at the given times (seconds), on the grid
// i / rate from the injection on; before the first time the first sample stands.
std::vector<float> resample(const std::vector<float>& x, const std::vector<double>& t, int rate)
{
    const double gridCount = std::floor(t.back() * rate) + 1.0;
    if (gridCount > kMaxImportedSamples)
        throw InterchangeError("the time axis of the file spans more samples than a "
                               "chromatogram can hold");
    std::vector<float> out(static_cast<size_t>(gridCount));
    size_t j = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double at = static_cast<double>(i) / rate;
        while (j + 1 < t.size() && t[j + 1] <= at)
            ++j;
        if (at <= t[0] || j + 1 >= t.size()) {
            out[i] = at <= t[0] ? x[0] : x.back();
            continue;
        }
        const double t0 = t[j], t1 = t[j + 1];
        const double f = t1 > t0 ? (at - t0) / (t1 - t0) : 0.0;
        out[i] = static_cast<float>(x[j] + f * (static_cast<double>(x[j + 1]) - x[j]));
    }
    return out;
}

// The rate of the record and its samples. The record can only hold a whole number of
// points per second, and the rate is the file's rounded up; a file whose samples are not
// on that grid (an interval of 0.4 s gives 3 points per second, a GC-MS scan every 1.093 s
// gives 1) has its samples interpolated onto it, or its peak times would point at the
// wrong samples. Files on the grid, which include all of ours, keep their samples as they
// are.
int timeAxis(std::vector<float>& samples, std::optional<double> interval,
             const std::optional<std::vector<float>>& retention, std::optional<double> runLength,
             int currentRate)
{
    const size_t n = samples.size();
    if (!(interval && rateFromInterval(*interval) > 0) && retention) {
        std::vector<double> times(retention->begin(), retention->end());
        if (usableTimes(times)) {
            const int rate =
                rateFromInterval((times.back() - times.front()) / static_cast<double>(n - 1));
            if (rate > 0) {
                samples = resample(samples, times, rate);
                return rate;
            }
        }
    }
    if (!(interval && rateFromInterval(*interval) > 0) && runLength)
        interval = *runLength / static_cast<double>(n);
    if (!interval || rateFromInterval(*interval) == 0)
        return currentRate > 0 ? currentRate : kDefaultPointsPerSecond;
    const int rate = rateFromInterval(*interval);
    if (!onGrid(*interval, rate)) {
        std::vector<double> times(n);
        for (size_t i = 0; i < n; ++i)
            times[i] = static_cast<double>(i) * *interval;
        if (n >= 2)
            samples = resample(samples, times, rate);
    }
    return rate;
}

// The file holds its times as float seconds.
int indexOfSeconds(const ChromatogramData& d, double seconds)
{
    return sampleIndex(d.pointsPerSecond, seconds / 60.0, SampleRounding::TowardZeroOfFloat);
}

void fillPeaks(ChromatogramData& d, const NcFile& file, const HeaderInfo& h)
{
    const long m = dimensionSize(file, "peak_number");
    if (m <= 0)
        return;
    // Each peak takes at least one float per variable in the file.
    if (static_cast<uint64_t>(m) > h.fileSize / 4)
        throw InterchangeError("netCDF file declares more peaks than it holds");
    d.peaks.setSize(static_cast<int>(m));
    auto each = [&](const char* name, auto&& apply) {
        const auto values = readSeries(file, h, name, m);
        if (!values)
            return;
        for (long i = 0; i < m; ++i)
            apply(d.peaks[static_cast<int>(i)],
                  static_cast<double>((*values)[static_cast<size_t>(i)]));
    };
    auto index = [&](double seconds) { return indexOfSeconds(d, seconds); };
    each("peak_retention_time", [&](PeakRecord& p, double v) {
        p.retentionTime = v / 60.0;
        p.apexIndex = index(v);
    });
    each("peak_start_time", [&](PeakRecord& p, double v) { p.startIndex = index(v); });
    each("peak_end_time", [&](PeakRecord& p, double v) { p.endIndex = index(v); });
    each("baseline_start_time", [&](PeakRecord& p, double v) { p.baselineStartIndex = index(v); });
    each("baseline_stop_time", [&](PeakRecord& p, double v) { p.baselineEndIndex = index(v); });
    each("peak_width", [&](PeakRecord& p, double v) { p.halfWidth = v / 60.0; });
    each("peak_area", [&](PeakRecord& p, double v) { p.area = v; });
    each("peak_area_percent", [&](PeakRecord& p, double v) { p.areaPercent = v; });
    each("peak_height", [&](PeakRecord& p, double v) {
        p.height = v;
        p.apexValue = static_cast<float>(v);
    });
    each("peak_height_percent", [&](PeakRecord& p, double v) { p.gasContent = v; });
    each("peak_asymmetry", [&](PeakRecord& p, double v) { p.tailingFactor = v; });
    each("baseline_start_value",
         [&](PeakRecord& p, double v) { p.baselineStartValue = static_cast<float>(v); });
    each("baseline_stop_value",
         [&](PeakRecord& p, double v) { p.baselineEndValue = static_cast<float>(v); });
}

// A text attribute of the file, in UTF-8: this system writes GBK, others ASCII or UTF-8.
std::optional<std::string> textAttribute(const NcFile& file, const char* name)
{
    std::unique_ptr<NcAtt> att(file.get_att(name));
    if (!att || att->type() != ncChar)
        return std::nullopt;
    std::unique_ptr<NcValues> values(att->values());
    if (!values || values->num() <= 0)
        return std::string();
    std::string text(static_cast<const char*>(values->base()), static_cast<size_t>(values->num()));
    text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
    return isValidUtf8(text) ? text : gbkToUtf8(text);
}

// Where the record has a place for them: the injection time, the sample name and id, the
// operator and the detector's unit, as the export writes them.
void readProvenance(const NcFile& file, ChromatogramData& d)
{
    if (const auto stamp = textAttribute(file, "injection_date_time_stamp"))
        if (const auto time = parseInjectionStamp(*stamp))
            d.injectionTime = *time;
    AnalysisMethod& m = d.method;
    if (auto name = textAttribute(file, "sample_name"))
        m.deviceNo = std::move(*name);
    if (auto id = textAttribute(file, "sample_id"))
        m.serialNo = std::move(*id);
    if (auto person = textAttribute(file, "operator_name"))
        m.tester = std::move(*person);
    if (auto unit = textAttribute(file, "detector_unit"); unit && *unit != kSignalUnit)
        m.setDetectorUnit(*unit);
}

ChromatogramData readCdf(const std::string& path, const HeaderInfo& h, int currentRate)
{
    NcError quiet(NcError::silent_nonfatal);
    NcFile file(path.c_str(), NcFile::ReadOnly);
    if (!file.is_valid())
        throw InterchangeError("cannot open " + path +
                               " as netCDF: " + nc_strerror(quiet.get_err()));

    const long n = dimensionSize(file, "point_number");
    if (n < 0 || file.get_var("ordinate_values") == nullptr)
        throw InterchangeError("the file holds no chromatogram (no point_number dimension "
                               "or ordinate_values variable)");
    if (n == 0)
        throw InterchangeError("the file holds a chromatogram without samples");
    if (n > kMaxImportedSamples)
        throw InterchangeError("the chromatogram of the file has more samples than can be held");
    auto samples = readSeries(file, h, "ordinate_values", n);
    if (!samples)
        throw InterchangeError("the samples of the file cannot be read (ordinate_values is "
                               "cut short, not numeric or not of length point_number)");

    ChromatogramData d;
    const auto maxValue = readScalar(file, h, "detector_maximum_value");
    const auto minValue = readScalar(file, h, "detector_minimum_value");
    const auto runLength = readScalar(file, h, "actual_run_time_length");
    const auto interval = readScalar(file, h, "actual_sampling_interval");

    const auto retention = readSeries(file, h, "raw_data_retention", n);
    d.pointsPerSecond = timeAxis(*samples, interval, retention, runLength, currentRate);

    // The detector range becomes both the display range and the start of the extrema,
    // which the samples then widen.
    d.signalMax = maxValue ? static_cast<float>(*maxValue * 0.001) : -2000000.0f;
    d.signalMin = minValue ? static_cast<float>(*minValue * 0.001) : 2000000.0f;
    d.signal.assign(std::move(*samples));
    for (float v : d.signal.values()) {
        if (v < d.signalMin)
            d.signalMin = v;
        if (v > d.signalMax)
            d.signalMax = v;
    }
    d.hasData = true;
    d.evaluated = 0;
    d.method.timeStart = 0.0;
    d.method.timeEnd = runLength && *runLength > 0.0f ? *runLength / 60.0 : d.duration();
    d.method.levelMax = maxValue ? *maxValue * 0.001 : d.signalMax * 0.001;
    d.method.levelMin = minValue ? *minValue * 0.001 : d.signalMin * 0.001;

    fillPeaks(d, file, h);
    readProvenance(file, d);
    return d;
}

// ---------------------------------------------------------------------------------------
// Writing.

const char* detectionMethodName(int calcMethod)
{
    switch (calcMethod) {
    case 1: return "校正归一法";
    case 2: return "内标法";
    case 3: return "外标法";
    case 4: return "指数外标法";
    default: return "面积归一法";
    }
}

// Start and stop detection letters by peak type code: B for a baseline end, V for a valley.
std::pair<char, char> detectionCodes(int typeCode)
{
    switch (typeCode) {
    case 2:
    case 8: return {'B', 'V'};
    case 3:
    case 6: return {'V', 'B'};
    case 4:
    case 5:
    case 9:
    case 10: return {'V', 'V'};
    default: return {'B', 'B'};
    }
}

double secondsOf(const ChromatogramData& d, int index)
{
    return d.indexToTime(index) * 60.0;
}

void check(bool ok, const char* what)
{
    if (!ok)
        throw InterchangeError(std::string("netCDF export failed: ") + what);
}

void writeCdf(const ChromatogramData& d, const std::string& path, const std::string& sourceFile)
{
    NcError quiet(NcError::silent_nonfatal);
    NcFile file(path.c_str(), NcFile::Replace, nullptr, 0, NcFile::Classic);
    check(file.is_valid(), "cannot create the file");

    const long n = d.signal.count();
    const long m = d.peaks.size();

    // A dimension of size 0 is the record dimension in netCDF; a chromatogram without peaks
    // therefore has an unlimited peak_number holding no records, which readers see as 0.
    static const std::pair<const char*, long> stringDims[] = {
        {"_2_byte_string", 2},     {"_4_byte_string", 4},    {"_8_byte_string", 8},
        {"_16_byte_string", 16},   {"_32_byte_string", 32},  {"_64_byte_string", 64},
        {"_128_byte_string", 128}, {"_255_byte_string", 255}};
    for (const auto& [name, size] : stringDims)
        check(file.add_dim(name, size) != nullptr, name);
    check(file.add_dim("point_number", n) != nullptr, "point_number");
    check(file.add_dim("peak_number", m) != nullptr, "peak_number");
    check(file.add_dim("error_number", 1) != nullptr, "error_number");

    const AnalysisMethod& meth = d.method;
    const std::string stamp = injectionStamp(d.injectionTime);
    const std::string unit = meth.detectorUnit().empty() ? kSignalUnit : meth.detectorUnit();
    const std::pair<const char*, std::string> globals[] = {
        {"dataset_completeness", "C1+C2"},
        {"aia_template_revision", "1.0"},
        {"netcdf_revision", "3.6.1"},
        {"languages", "English only"},
        {"injection_date_time_stamp", stamp},
        {"experiment_title", meth.deviceNo},
        {"operator_name", meth.tester},
        {"separation_experiment_type", "chromatography"},
        {"source_file_reference", sourceFile},
        {"sample_name", meth.deviceNo},
        {"sample_id", meth.serialNo},
        {"detector_unit", unit},
        {"detection_method_name", detectionMethodName(meth.calcMethod)},
        {"detector_name", meth.tester},
        {"retention_unit", "seconds"},
    };
    for (const auto& [name, value] : globals)
        check(file.add_att(name, utf8ToGbk(value).c_str()), name);

    NcDim* points = file.get_dim("point_number");
    NcDim* peaks = file.get_dim("peak_number");
    NcDim* twoBytes = file.get_dim("_2_byte_string");
    check(points && peaks && twoBytes, "dimensions not found after their definition");

    static const char* const scalars[] = {"detector_maximum_value", "detector_minimum_value",
                                          "actual_run_time_length", "actual_delay_time",
                                          "actual_sampling_interval"};
    for (const char* name : scalars)
        check(file.add_var(name, ncFloat) != nullptr, name);
    NcVar* ordinate = file.add_var("ordinate_values", ncFloat, points);
    check(ordinate != nullptr, "ordinate_values");
    check(ordinate->add_att("uniform_sampling_flag", "Y"), "uniform_sampling_flag");
    check(ordinate->add_att("autosampler_position", "1.101"), "autosampler_position");

    // Per-peak float variables in their order of definition, each with its value.
    using PeakValue = double (*)(const PeakRecord&, const ChromatogramData&);
    const std::pair<const char*, PeakValue> peakFloats[] = {
        {"peak_retention_time",
         [](const PeakRecord& p, const ChromatogramData&) { return p.retentionTime * 60.0; }},
        {"peak_start_time",
         [](const PeakRecord& p, const ChromatogramData& c) { return secondsOf(c, p.startIndex); }},
        {"peak_end_time",
         [](const PeakRecord& p, const ChromatogramData& c) { return secondsOf(c, p.endIndex); }},
        {"peak_width",
         [](const PeakRecord& p, const ChromatogramData&) { return p.halfWidth * 60.0; }},
        {"peak_area", [](const PeakRecord& p, const ChromatogramData&) { return p.area; }},
        {"peak_area_percent",
         [](const PeakRecord& p, const ChromatogramData&) { return p.areaPercent; }},
        {"peak_height", [](const PeakRecord& p, const ChromatogramData&) { return p.height; }},
        {"peak_height_percent",
         [](const PeakRecord& p, const ChromatogramData&) { return p.areaPercent; }},
        {"peak_asymmetry",
         [](const PeakRecord& p, const ChromatogramData&) { return p.tailingFactor; }},
        {"baseline_start_time",
         [](const PeakRecord& p, const ChromatogramData& c) {
             return secondsOf(c, p.baselineStartIndex);
         }},
        {"baseline_start_value",
         [](const PeakRecord& p, const ChromatogramData&) { return double(p.baselineStartValue); }},
        {"baseline_stop_time",
         [](const PeakRecord& p, const ChromatogramData& c) {
             return secondsOf(c, p.baselineEndIndex);
         }},
        {"baseline_stop_value",
         [](const PeakRecord& p, const ChromatogramData&) { return double(p.baselineEndValue); }},
    };
    for (const auto& [name, value] : peakFloats)
        check(file.add_var(name, ncFloat, peaks) != nullptr, name);
    check(file.add_var("peak_start_detection_code", ncChar, peaks, twoBytes) != nullptr,
          "peak_start_detection_code");
    check(file.add_var("peak_stop_detection_code", ncChar, peaks, twoBytes) != nullptr,
          "peak_stop_detection_code");
    check(file.add_var("migration_time", ncFloat, peaks) != nullptr, "migration_time");
    check(file.add_var("peak_area_square_root", ncFloat, peaks) != nullptr,
          "peak_area_square_root");
    check(file.add_var("manually_reintegrated_peaks", ncShort, peaks) != nullptr,
          "manually_reintegrated_peaks");

    // Values, in the same order.
    auto putScalar = [&](const char* name, double value) {
        NcVar* v = file.get_var(name);
        const float f = static_cast<float>(value);
        check(v != nullptr && v->put(&f), name);
    };
    putScalar("detector_maximum_value", meth.levelMax * 1000.0);
    putScalar("detector_minimum_value", meth.levelMin * 1000.0);
    putScalar("actual_run_time_length", n / d.pointsPerSecond);
    putScalar("actual_delay_time", 0.0);
    putScalar("actual_sampling_interval", 1.0 / d.pointsPerSecond);
    check(ordinate->put(d.signal.data(), n), "ordinate_values");

    auto putFloats = [&](const char* name, auto&& valueOf) {
        if (m == 0)
            return;
        std::vector<float> values;
        values.reserve(static_cast<size_t>(m));
        for (const PeakRecord& p : d.peaks)
            values.push_back(static_cast<float>(valueOf(p)));
        NcVar* v = file.get_var(name);
        check(v != nullptr && v->put(values.data(), m), name);
    };
    for (const auto& entry : peakFloats) {
        const PeakValue value = entry.second;
        putFloats(entry.first, [&](const PeakRecord& p) { return value(p, d); });
    }

    if (m > 0) {
        std::vector<char> starts, stops;
        for (const PeakRecord& p : d.peaks) {
            const auto [start, stop] = detectionCodes(peakTypeCode(p.typeFlags));
            starts.insert(starts.end(), {start, ' '});
            stops.insert(stops.end(), {stop, ' '});
        }
        NcVar* s = file.get_var("peak_start_detection_code");
        check(s != nullptr && s->put(starts.data(), m, 2), "peak_start_detection_code");
        NcVar* e = file.get_var("peak_stop_detection_code");
        check(e != nullptr && e->put(stops.data(), m, 2), "peak_stop_detection_code");
    }
    putFloats("migration_time", [](const PeakRecord& p) { return p.retentionTime * 60.0; });
    // A negative peak carries a negated area; its root is taken of the magnitude so that no
    // NaN reaches the programs that read the file.
    putFloats("peak_area_square_root",
              [](const PeakRecord& p) { return std::sqrt(std::fabs(p.area)); });
    if (m > 0) {
        const std::vector<short> zeros(static_cast<size_t>(m), 0);
        NcVar* v = file.get_var("manually_reintegrated_peaks");
        check(v != nullptr && v->put(zeros.data(), m), "manually_reintegrated_peaks");
    }
    check(file.close(), "cannot complete the file");
}

}  // namespace

void exportCdf(const ChromatogramData& data, const std::string& path, const std::string& sourceFile)
{
    if (!data.hasData || data.signal.count() == 0)
        throw InterchangeError(kExportNoData);
    if (data.pointsPerSecond <= 0)
        throw InterchangeError("the chromatogram has no sampling rate");

    // netCDF writes in place, so it writes a scratch file beside the target; the finished
    // bytes then replace the target in one rename.
    std::string scratch = directoryOf(path) + "/.dgaws-cdf-XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0)
        throw FileError("cannot create a file in the folder of " + path);
    ::close(fd);
    std::string bytes;
    try {
        writeCdf(data, scratch, sourceFile);
        bytes = readWholeFile(scratch);
    } catch (...) {
        ::unlink(scratch.c_str());
        throw;
    }
    ::unlink(scratch.c_str());
    writeFileAtomically(path, bytes);
}

ChromatogramData importCdf(const std::string& path, int currentRate)
{
    const HeaderInfo header = checkHeader(readWholeFile(path));
    return readCdf(path, header, currentRate);
}

}  // namespace dgaws
