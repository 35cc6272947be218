#include "chromatogram/AiaFile.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/TextChromatogram.h"
#include "chromatogram/TextCodec.h"

#include "CivilTime.h"
#include "StoredFormats.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <tuple>

using namespace dgaws;
using namespace dgaws::test;

namespace {

const std::string kForeign = DGAWS_TESTDATA_DIR "/aia/";

// A global text attribute, or a character variable of two bytes per peak, read back
// through the netCDF C library, independently of importCdf (ncdump reads the rest).
std::string ncText(const std::string& path, const char* name, size_t peaks = 0)
{
    int id = 0, v = 0;
    size_t len = peaks * 2;
    std::string s = "<missing>";
    if (nc_open(path.c_str(), NC_NOWRITE, &id) != NC_NOERR)
        return "<unreadable>";
    if (peaks == 0 && nc_inq_attlen(id, NC_GLOBAL, name, &len) == NC_NOERR) {
        s.assign(len, '\0');
        nc_get_att_text(id, NC_GLOBAL, name, s.data());
    } else if (peaks > 0 && nc_inq_varid(id, name, &v) == NC_NOERR) {
        s.assign(len, '\0');
        nc_get_var_text(id, v, s.data());
    }
    nc_close(id);
    return s;
}

// A file as other systems write them, built with the netCDF C library.
struct Foreign {
    std::vector<float> samples{10.0f, 20.0f, 40.0f, 80.0f};
    std::optional<float> interval;
    std::optional<float> runLength;
    std::optional<std::vector<float>> retention;
    bool withOrdinate = true;
    bool ordinateAsDouble = false;
    std::vector<float> peakTimes;      // peak_retention_time in seconds
    bool peakAreaWrongLength = false;  // peak_area over point_number instead
};

void writeForeign(const std::string& path, const Foreign& f)
{
    int id = 0;
    ASSERT_EQ(nc_create(path.c_str(), NC_CLOBBER, &id), NC_NOERR);
    int points = 0, peaks = -1, strings = 0;
    nc_def_dim(id, "_2_byte_string", 2, &strings);
    nc_def_dim(id, "point_number", f.samples.size(), &points);
    if (!f.peakTimes.empty())
        nc_def_dim(id, "peak_number", f.peakTimes.size(), &peaks);
    auto scalar = [&](const char* name, const std::optional<float>& v) {
        int var = -1;
        if (v)
            nc_def_var(id, name, NC_FLOAT, 0, nullptr, &var);
        return var;
    };
    const int vInterval = scalar("actual_sampling_interval", f.interval);
    const int vRun = scalar("actual_run_time_length", f.runLength);
    int vTimes = -1, vOrd = -1, vRt = -1, vArea = -1;
    if (f.retention)
        nc_def_var(id, "raw_data_retention", NC_FLOAT, 1, &points, &vTimes);
    if (f.withOrdinate)
        nc_def_var(id, "ordinate_values", f.ordinateAsDouble ? NC_DOUBLE : NC_FLOAT, 1, &points,
                   &vOrd);
    if (peaks >= 0) {
        nc_def_var(id, "peak_retention_time", NC_FLOAT, 1, &peaks, &vRt);
        nc_def_var(id, "peak_area", NC_FLOAT, 1, f.peakAreaWrongLength ? &points : &peaks, &vArea);
    }
    ASSERT_EQ(nc_enddef(id), NC_NOERR);
    auto put = [&](int var, const std::optional<float>& v) {
        if (var >= 0)
            nc_put_var_float(id, var, &*v);
    };
    put(vInterval, f.interval);
    put(vRun, f.runLength);
    if (vTimes >= 0)
        nc_put_var_float(id, vTimes, f.retention->data());
    if (vOrd >= 0)
        nc_put_var_float(id, vOrd, f.samples.data());
    if (vRt >= 0) {
        nc_put_var_float(id, vRt, f.peakTimes.data());
        std::vector<float> areas(f.peakAreaWrongLength ? f.samples.size() : f.peakTimes.size(),
                                 77.0f);
        nc_put_var_float(id, vArea, areas.data());
    }
    ASSERT_EQ(nc_close(id), NC_NOERR);
}

// Plain writes: the many damaged variants need no flush to disk.
void putBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

// ncdump checks a small file whole; here what it leaves out: Chinese texts go out in GBK,
// every quantitation method has its name, and every type code its detection letters.
TEST(CdfExport, TextsInGbkMethodNamesAndDetectionCodes)
{
    TempDir dir;
    const std::string path = dir.path("a.cdf");
    exportCdf(richRecord(), path, "/data/运行7.chg");
    EXPECT_EQ(ncText(path, "experiment_title"), utf8ToGbk("1号主变"));
    EXPECT_EQ(ncText(path, "operator_name"), utf8ToGbk("张工"));
    EXPECT_EQ(ncText(path, "source_file_reference"), utf8ToGbk("/data/运行7.chg"));
    EXPECT_EQ(ncText(path, "detection_method_name"), utf8ToGbk("外标法"));
    // Type codes 0, 4, 5, 6, 7, 8, 9, 10, 11 in the peak order of the example.
    EXPECT_EQ(ncText(path, "peak_start_detection_code", 9), "B V V V B B V V B ");
    EXPECT_EQ(ncText(path, "peak_stop_detection_code", 9), "B V V B B V V V B ");

    const std::pair<int, const char*> methods[] = {{0, "面积归一法"},
                                                   {1, "校正归一法"},
                                                   {4, "指数外标法"},
                                                   {5, "面积归一法"},
                                                   {-1, "面积归一法"}};
    for (const auto& [method, name] : methods) {
        ChromatogramData d = richRecord(20);
        d.method.calcMethod = method;
        exportCdf(d, dir.path("m.cdf"), "");
        EXPECT_EQ(ncText(dir.path("m.cdf"), "detection_method_name"), utf8ToGbk(name)) << method;
    }
}

// What a chromatogram cannot be written as: nothing, and the previous file stays whole.
TEST(Exports, RefuseEmptyChromatogramsAndNeverLeavePartialFiles)
{
    using Export = std::function<void(const ChromatogramData&, const std::string&)>;
    const Export exports[] = {
        [](const ChromatogramData& d, const std::string& p) { exportCdf(d, p, ""); },
        [](const ChromatogramData& d, const std::string& p) { saveText(d, p, TextLayout::Plain); },
        [](const ChromatogramData& d, const std::string& p) {
            saveText(d, p, TextLayout::CommaSeparated);
        }};
    TempDir dir;
    const std::string path = dir.path("keep");
    for (const Export& save : exports) {
        putBytes(path, "previous contents");
        ChromatogramData empty, notAcquired = richRecord(10);
        empty.hasData = 1;
        try {
            save(empty, path);
            FAIL() << "an empty chromatogram was exported";
        } catch (const InterchangeError& e) {
            EXPECT_STREQ(e.what(), kExportNoData);
        }
        notAcquired.hasData = 0;
        EXPECT_THROW(save(notAcquired, path), InterchangeError);
        EXPECT_EQ(readWholeFile(path), "previous contents");
        EXPECT_THROW(save(richRecord(10), dir.path("missing/x")), FileError);
    }
    EXPECT_THROW(exportCdf(richRecord(10, 0), path, ""), InterchangeError) << "no rate";
    EXPECT_THROW(loadText(dir.path("absent.txt"), TextLayout::Plain), FileError);

    // A larger previous file is replaced as a whole, and no scratch file stays behind.
    putBytes(path, std::string(200000, 'x'));
    exportCdf(richRecord(10), path, "");
    EXPECT_EQ(readWholeFile(path).compare(0, 4, std::string("CDF\x01", 4)), 0);
    EXPECT_LT(readWholeFile(path).size(), 200000u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()), {}), 1);
}

TEST(CdfRoundTrip, ChgToCdfToChgKeepsSignalAndPeaks)
{
    TempDir dir;
    ChromatogramData original = richRecord();
    writeChromatogramFile(dir.path("a.chg"), original);
    const ChromatogramData stored = readChromatogramFile(dir.path("a.chg"));
    exportCdf(stored, dir.path("a.cdf"), dir.path("a.chg"));
    writeChromatogramFile(dir.path("b.chg"), importCdf(dir.path("a.cdf")));
    const ChromatogramData back = readChromatogramFile(dir.path("b.chg"));

    EXPECT_EQ(back.signal, original.signal);
    EXPECT_EQ(back.pointsPerSecond, 20);
    EXPECT_DOUBLE_EQ(back.method.timeEnd, 59.0 / 60.0);
    EXPECT_DOUBLE_EQ(back.method.levelMin, -120.25);
    // The detector range in mV starts the extrema, which the samples in uV then widen.
    const auto [lo, hi] =
        std::minmax_element(original.signal.values().begin(), original.signal.values().end());
    EXPECT_FLOAT_EQ(back.signalMax, std::max(750.5f, *hi));
    EXPECT_FLOAT_EQ(back.signalMin, std::min(-120.25f, *lo));

    ASSERT_EQ(back.peaks.size(), original.peaks.size());
    for (int k = 0; k < original.peaks.size(); ++k) {
        const PeakRecord& o = original.peaks[k];
        const PeakRecord& b = back.peaks[k];
        EXPECT_EQ(b.startIndex, o.startIndex) << k;
        EXPECT_EQ(b.apexIndex, o.apexIndex) << k;
        EXPECT_EQ(b.endIndex, o.endIndex) << k;
        EXPECT_EQ(b.baselineStartIndex, o.baselineStartIndex) << k;
        EXPECT_EQ(b.baselineEndIndex, o.baselineEndIndex) << k;
        EXPECT_NEAR(b.halfWidth, o.halfWidth, 1e-7) << k;
        EXPECT_FLOAT_EQ(static_cast<float>(b.area), static_cast<float>(o.area)) << k;
        EXPECT_FLOAT_EQ(b.apexValue, static_cast<float>(o.height)) << k;
        // The area percentages come back through the height percentage column.
        EXPECT_FLOAT_EQ(static_cast<float>(b.gasContent), static_cast<float>(o.areaPercent)) << k;
        EXPECT_EQ(b.baselineEndValue, o.baselineEndValue) << k;
    }
}

// What ties a chromatogram to its sample survives the interchange both ways: a chromatogram
// exported and imported again, in any zone, and a file of another system, whose stamp is
// in UTC.
TEST(CdfRoundTrip, InjectionTimeSampleAndOperatorSurvive)
{
    TempDir dir;
    for (const char* zone : {"CST-8", "UTC0", "EST5EDT", "NPT-5:45"}) {
        SCOPED_TRACE(zone);
        const ScopedTimeZone tz(zone);
        const ChromatogramData original = richRecord();
        exportCdf(original, dir.path("a.cdf"), dir.path("a.chg"));
        writeChromatogramFile(dir.path("b.chg"), importCdf(dir.path("a.cdf")));
        const ChromatogramData back = readChromatogramFile(dir.path("b.chg"));
        EXPECT_EQ(back.injectionTime.format("%Y-%m-%d %H:%M:%S"), "2024-03-05 14:07:09");
        EXPECT_EQ(back.method.deviceNo, "1号主变");
        EXPECT_EQ(back.method.serialNo, "2013062301");
        EXPECT_EQ(back.method.tester, "张工");
        EXPECT_EQ(back.method.detectorUnit(), "");
    }

    const ScopedTimeZone beijing("CST-8");
    const ChromatogramData foreign = importCdf(kForeign + "uniform-0.4s.cdf");
    // 2018-10-30 17:43:05 UTC.
    EXPECT_EQ(foreign.injectionTime.format("%Y-%m-%d %H:%M:%S"), "2018-10-31 01:43:05");
    EXPECT_EQ(foreign.method.deviceNo, "MW-2-6-6 IC 90");
    EXPECT_EQ(foreign.method.tester, "SYSTEM");
    EXPECT_EQ(foreign.method.detectorUnit(), "mAU");
    exportCdf(foreign, dir.path("again.cdf"), kForeign + "uniform-0.4s.cdf");
    const ChromatogramData again = importCdf(dir.path("again.cdf"));
    EXPECT_EQ(again.injectionTime.format("%Y-%m-%d %H:%M:%S"), "2018-10-31 01:43:05");
    EXPECT_EQ(again.method.detectorUnit(), "mAU");
}

TEST(CdfRoundTrip, EveryRateOfTheCollectorComesBackWhole)
{
    TempDir dir;
    for (int rate : {1, 3, 7, 10, 20, 25, 50, 100}) {
        // The largest has offsets beyond 64 KiB, where every byte of a header number counts.
        ChromatogramData d = richRecord(rate == 100 ? 20000 : 400, rate);
        if (rate == 7)
            d.peaks.clear();
        exportCdf(d, dir.path("r.cdf"), "");
        const ChromatogramData back = importCdf(dir.path("r.cdf"));
        EXPECT_EQ(back.pointsPerSecond, rate);
        // On the grid: the samples are kept, not interpolated.
        EXPECT_EQ(back.signal, d.signal) << rate;
        EXPECT_EQ(back.peaks.size(), d.peaks.size()) << rate;
    }
}

// The rate comes from the interval, else the retention times, else the run length, else the
// current rate; a figure that gives no usable rate falls through to the next source. Samples
// off the grid of a whole rate are interpolated onto it.
TEST(CdfImport, RateFromTheFirstUsableTimeSource)
{
    const std::vector<float> ramp{0.0f, 4.0f, 8.0f, 12.0f, 16.0f};  // 10 per second at 0.4 s
    const std::vector<float> quarter{0.0f, 0.25f, 0.5f, 0.75f, 1.0f}, backwards{0, 0.5, 1, 1, 0.2f};
    const float nan = std::nanf("");
    struct Case {
        std::optional<float> interval;
        std::optional<std::vector<float>> retention;
        std::optional<float> runLength;
        int current, rate, count;
        float second;  // the sample at index 1
    };
    const Case cases[] = {
        {0.4f, {}, {}, 20, 3, 5, 10.0f / 3.0f},  // 2.5 per second, held as 3
        {{}, quarter, {}, 20, 4, 5, 4.0f},       // on the grid: kept as they are
        {0.0f, quarter, {}, 20, 4, 5, 4.0f},
        {{}, std::vector<float>{1.0f, 1.25f, 1.5f, 1.75f, 2.0f}, {}, 20, 4, 9, 0.0f},
        {{}, std::vector<float>{0.0f, 0.5f}, {}, 20, 2, 2, 4.0f},
        {{}, {}, 0.5f, 20, 10, 5, 4.0f},  // 5 samples in 0.5 s
        {{}, {}, {}, 50, 50, 5, 4.0f},
        {{}, {}, {}, 0, kDefaultPointsPerSecond, 5, 4.0f},
        {30.0f, {}, {}, 20, 1, 121, 4.0f / 30.0f},  // very slow: still one point per second
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.interval.value_or(-1) << " s, run " << c.runLength.value_or(-1));
        Foreign f;
        f.samples = c.count == 2 ? std::vector<float>{0.0f, 4.0f} : ramp;
        f.interval = c.interval;
        f.retention = c.retention;
        f.runLength = c.runLength;
        writeForeign(dir.path("f.cdf"), f);
        const ChromatogramData d = importCdf(dir.path("f.cdf"), c.current);
        EXPECT_EQ(d.pointsPerSecond, c.rate);
        ASSERT_EQ(d.signal.count(), c.count);
        EXPECT_NEAR(d.signal.at(1), c.second, 1e-4);
        if (c.runLength) {
            EXPECT_DOUBLE_EQ(d.method.timeEnd, *c.runLength / 60.0);
        }
    }

    // Unusable figures fall through to the next source and never give 0 or infinity.
    for (float bad : {0.0f, -0.05f, 1e-9f, nan, INFINITY}) {
        Foreign f;
        f.samples = ramp;
        f.interval = bad;
        f.retention = backwards;
        f.runLength = -3.0f;
        writeForeign(dir.path("d.cdf"), f);
        const ChromatogramData d = importCdf(dir.path("d.cdf"), 10);
        EXPECT_EQ(d.pointsPerSecond, 10) << bad;
        EXPECT_EQ(d.signal.values(), ramp) << bad;
        // Without a detector range the samples give the extrema.
        EXPECT_EQ(d.signalMax, 16.0f);
        EXPECT_DOUBLE_EQ(d.method.levelMax, 0.016);
    }
}

// The point of the resampling: the peak table of the file describes the signal we hold. At
// each peak, the highest sample between its start and end stands above the baseline by
// about the height the other system measured. What was read is exported again as it is.
TEST(CdfForeignFiles, ResampledAtTheirRateWithPeakTablesThatLineUp)
{
    struct Case {
        const char* name;
        int rate, count, peaks;
        double timeEnd;
    };
    // 4651 samples 0.4 s apart span 1860 s; scans 1.093 s apart are 0.91 per second.
    const Case cases[] = {{"uniform-0.4s.cdf", 3, 5581, 8, 31.0},
                          {"scans-1.cdf", 1, 1801, 86, 1797.54 / 60.0},
                          {"scans-2.cdf", 1, 1801, 43, 1797.54 / 60.0}};
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChromatogramData d = importCdf(kForeign + c.name);
        EXPECT_EQ(d.pointsPerSecond, c.rate);
        EXPECT_EQ(d.signal.count(), c.count);
        EXPECT_NEAR(d.method.timeEnd, c.timeEnd, 1e-4);
        ASSERT_EQ(d.peaks.size(), c.peaks);
        EXPECT_TRUE(std::all_of(d.signal.values().begin(), d.signal.values().end(),
                                [](float v) { return std::isfinite(v); }));
        std::vector<double> errors;
        for (const PeakRecord& p : d.peaks) {
            ASSERT_GE(p.startIndex, 0);
            ASSERT_LT(p.endIndex, d.signal.count());
            int top = p.startIndex;
            for (int i = p.startIndex; i <= p.endIndex; ++i)
                if (d.signal.at(i) > d.signal.at(top))
                    top = i;
            const double span = std::max(1, p.baselineEndIndex - p.baselineStartIndex);
            const double base = p.baselineStartValue +
                (p.baselineEndValue - p.baselineStartValue) * (top - p.baselineStartIndex) / span;
            errors.push_back(std::fabs(d.signal.at(top) - base - p.height) / p.height);
        }
        std::sort(errors.begin(), errors.end());
        EXPECT_LT(errors[errors.size() / 2], 0.1);

        exportCdf(d, dir.path("again.cdf"), kForeign + c.name);
        const ChromatogramData back = importCdf(dir.path("again.cdf"));
        EXPECT_EQ(back.signal, d.signal);
        ASSERT_EQ(back.peaks.size(), d.peaks.size());
        for (int k = 0; k < d.peaks.size(); ++k)
            EXPECT_EQ(back.peaks[k].apexIndex, d.peaks[k].apexIndex) << k;
    }
    const ChromatogramData d = importCdf(kForeign + "uniform-0.4s.cdf");
    EXPECT_NEAR(d.signal.at(0), -0.0758842, 1e-7);
    EXPECT_NEAR(d.method.levelMax, 0.130926, 1e-6);
    EXPECT_NEAR(d.peaks[0].retentionTime, 196.065 / 60.0, 1e-4);
    EXPECT_NEAR(d.peaks[0].gasContent, 29.7635, 1e-3);
    EXPECT_NEAR(d.peaks[0].area, 556.765, 1e-3);
}

TEST(CdfImport, OnlyVariablesOfTheChromatogramsShapeAndTypeAreTrusted)
{
    TempDir dir;
    Foreign f;
    f.interval = 0.1f;
    f.ordinateAsDouble = true;  // converted by the library, still a chromatogram
    f.peakTimes = {0.2f, 0.3f};
    f.peakAreaWrongLength = true;
    writeForeign(dir.path("f.cdf"), f);
    const ChromatogramData d = importCdf(dir.path("f.cdf"));
    EXPECT_EQ(d.signal.values(), f.samples);
    ASSERT_EQ(d.peaks.size(), 2);
    EXPECT_EQ(d.peaks[1].apexIndex, 3);
    EXPECT_EQ(d.peaks[1].area, 0.0);  // peak_area is over the wrong dimension: ignored

    f.withOrdinate = false;
    writeForeign(dir.path("nochrom.cdf"), f);
    try {
        importCdf(dir.path("nochrom.cdf"));
        FAIL() << "imported a file without samples";
    } catch (const InterchangeError& e) {
        EXPECT_NE(std::string(e.what()).find("no chromatogram"), std::string::npos) << e.what();
    }
    // An ANDI-MS style file (none of the chromatogram's names), and samples as text.
    for (const auto& [dim, var, type] : {std::tuple{"scan_number", "total_intensity", NC_DOUBLE},
                                         std::tuple{"point_number", "ordinate_values", NC_CHAR}}) {
        int id = 0, dimId = 0, varId = 0;
        ASSERT_EQ(nc_create(dir.path("other.cdf").c_str(), NC_CLOBBER, &id), NC_NOERR);
        nc_def_dim(id, dim, 4, &dimId);
        nc_def_var(id, var, type, 1, &dimId, &varId);
        nc_close(id);
        EXPECT_THROW(importCdf(dir.path("other.cdf")), InterchangeError) << var;
    }
}

TEST(CdfImport, DamagedAndHostileFilesGiveErrorsNotCrashes)
{
    TempDir dir;
    exportCdf(richRecord(), dir.path("good.cdf"), "");
    const std::string good = readWholeFile(dir.path("good.cdf"));
    const std::string bad = dir.path("bad.cdf");

    // Cut short anywhere: in the header, between variables, inside the samples, in the peaks
    // (the last two bytes of the file are the padding of the last variable).
    for (size_t cut : {size_t(0), size_t(3), size_t(4), size_t(9), size_t(100), size_t(700),
                       good.size() / 3, good.size() / 2, good.size() - 40, good.size() - 4}) {
        putBytes(bad, good.substr(0, cut));
        EXPECT_THROW(importCdf(bad), InterchangeError) << "cut at " << cut;
    }
    // Bytes changed anywhere are the AIA fuzz target's to try.
    putBytes(bad, "1.5 2.5 3.5 this is a text chromatogram\n");
    EXPECT_THROW(importCdf(bad), InterchangeError);
    putBytes(bad, std::string("\x89HDF\r\n\x1a\n", 8) + std::string(600, '\0'));
    EXPECT_THROW(importCdf(bad), InterchangeError);
    EXPECT_THROW(importCdf(dir.path("absent.cdf")), FileError);
    EXPECT_THROW(importCdf(dir.root().string()), FileError);
    // Header counts beyond the file are refused before the library sees them.
    auto be = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    auto name = [&](const std::string& s) {
        return be(static_cast<uint32_t>(s.size())) + s + std::string((4 - s.size() % 4) % 4, '\0');
    };
    const std::string head = std::string("CDF\x01", 4) + be(0);
    // Two billion dimensions (the library would try to hold them all).
    putBytes(dir.path("dims.cdf"), head + be(0x0A) + be(0x7FFFFFFF) + std::string(64, '\0'));
    EXPECT_THROW(importCdf(dir.path("dims.cdf")), InterchangeError);
    // A name longer than the C++ classes' buffers.
    putBytes(dir.path("name.cdf"),
             head + be(0x0A) + be(1) + name(std::string(256, 'n')) + be(4) + be(0) + be(0) + be(0) +
                 be(0));
    EXPECT_THROW(importCdf(dir.path("name.cdf")), InterchangeError);
    // A variable of a billion samples in a file of a few bytes (read back as zeros otherwise).
    const std::string dims = be(0x0A) + be(1) + name("point_number") + be(1u << 20);
    const std::string var =
        name("ordinate_values") + be(1) + be(0) + be(0) + be(0) + be(5) + be(4u << 20) + be(0);
    std::string file = head + dims + be(0) + be(0) + be(0x0B) + be(1) + var;
    const uint32_t begin = static_cast<uint32_t>(file.size());
    file.replace(file.size() - 4, 4, be(begin));
    putBytes(dir.path("short.cdf"), file + std::string(64, '\0'));
    try {
        importCdf(dir.path("short.cdf"));
        FAIL() << "a variable beyond the end of the file was read";
    } catch (const InterchangeError& e) {
        EXPECT_NE(std::string(e.what()).find("cut short"), std::string::npos) << e.what();
    }
    // A variable that refers to a dimension that does not exist.
    const std::string lost =
        name("ordinate_values") + be(1) + be(7) + be(0) + be(0) + be(5) + be(4) + be(200);
    putBytes(dir.path("lost.cdf"), head + dims + be(0) + be(0) + be(0x0B) + be(1) + lost);
    EXPECT_THROW(importCdf(dir.path("lost.cdf")), InterchangeError);
}
