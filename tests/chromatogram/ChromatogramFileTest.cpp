#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"

#include "StoredFormats.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace dgaws;
using namespace dgaws::test;

TEST(ChromatogramFile, WriteThenReadGivesBackEveryStoredFieldAndNoOther)
{
    const ChromatogramData d = richRecord();
    const std::string bytes = storeChromatogram(d);
    EXPECT_EQ(bytes.substr(0, 6), "755755") << "file head, then the method block's own tag";
    const ChromatogramData back = loadChromatogram(bytes);
    EXPECT_EQ(back.version.number, 755);
    EXPECT_TRUE(fieldsEqual(back, d));
    // Writing what was read gives the same bytes: nothing is lost or invented.
    EXPECT_EQ(storeChromatogram(back), bytes);

    ChromatogramData work = d;
    work.peaks[0].workValue = 9.0;
    work.peaks[0].scratch = 4;
    work.workSignal.assign({1.0f});
    work.channel = 1;
    work.working.volumeRatio = 3.0;
    EXPECT_EQ(storeChromatogram(work), bytes) << "work fields are not stored";
}

// Each format's image is read with the features it has; the values near the end of the file
// show that nothing before them was skipped or read twice.
TEST(CurrentOrderFormats, ReadWithTheFeaturesOfTheirFormat)
{
    for (const int format : {600, 750, 751, 752, 753, 754, 755}) {
        SCOPED_TRACE(format);
        const std::string tag = std::to_string(format);
        const std::string bytes = chromatogramImage(tag.c_str(), format);
        ChromatogramData d;
        ASSERT_NO_THROW(d = loadChromatogram(bytes));
        EXPECT_EQ(d.version.number, format);
        EXPECT_EQ(d.method.name, "方法");
        EXPECT_EQ(d.method.option7, format >= 752 ? image::kOption7 : 0);
        const AnalysisMethod fresh;
        EXPECT_EQ(d.method.ambientPressure,
                  format >= 750 ? image::kAmbientPressure : fresh.ambientPressure);
        EXPECT_EQ(d.method.report.showDiagnosis, format >= 753 ? image::kReportDiagnosis : 1);
        ASSERT_EQ(d.method.instrumentInfo.size(), 1u);
        EXPECT_EQ(d.method.instrumentInfo[0].labelEn, "Instr");
        ASSERT_EQ(d.peaks.size(), 1);
        EXPECT_EQ(d.peaks[0].oilContent, format >= 750 ? image::kPeakOil : 0.0);
        EXPECT_EQ(d.peaks[0].componentName, "H2(氢气)");
        EXPECT_EQ(d.colors.rulerBackColor, format >= 755 ? 0x20 : 0xFFFFFF);
        EXPECT_EQ(d.pointsPerSecond, image::kRate);
        EXPECT_EQ(d.standardRun, image::kStandardRun);
        EXPECT_EQ(d.conclusion, "正常");
        EXPECT_EQ(d.gasInOil[8], 8.0);
        EXPECT_EQ(d.extraTexts[4], format >= 754 ? image::kExtra5 : "");
        if (format == FormatVersion::kCurrent) {
            EXPECT_EQ(storeChromatogram(d), bytes) << "every field written back where it was read";
        }
    }
}

// 510 has int samples and extrema and ends after the group results; 515 and 516 hold a
// second peak list that is dropped and a float rate that is truncated (50.9 to 50).
TEST(OldFormats, ReadWithTheLayoutOfTheirFormat)
{
    for (const int format : {510, 515, 516}) {
        SCOPED_TRACE(format);
        const ChromatogramData d =
            loadChromatogram(oldChromatogramImage(std::to_string(format).c_str(), format));
        EXPECT_EQ(d.version.number, format);
        ASSERT_EQ(d.method.components.size(), 1u);
        EXPECT_EQ(d.method.components[0].groupParentIndex, -1) << "old component layout";
        EXPECT_EQ(d.signal.values(),
                  (std::vector<float>{format == 510 ? 12.0f : image::kSample0, image::kSample1}));
        EXPECT_EQ(d.signalMax, 900.0f);
        EXPECT_EQ(d.pointsPerSecond, image::kRate);
        ASSERT_EQ(d.peaks.size(), 1) << "the dropped list must not join the peak table";
        EXPECT_EQ(d.sampleAmount, image::kSampleAmount);
        EXPECT_EQ(d.groupResults.size(), 1u);
        EXPECT_EQ(d.diagnosisCode, -1);
        EXPECT_EQ(d.method.report.title, format >= 516 ? "T" : ReportSettings().title);
    }
}

TEST(OldFormats, UnknownTagsSelectALayoutByTheirLeadingDigits)
{
    // "abc" reads as 0: the oldest layout, without the method's own tag or components.
    ByteBuilder b;
    b.tag("abc");
    oldMethodImage(b, 0);
    b.i32(1).i32(7);  // one int sample
    b.i32(0);         // no peaks
    colorsImage(b, 0);
    b.i32(5).i32(1).i32(0).date(0, 1.0).i32(1).i32(10).i32(516).i32(0).i32(0).i32(-1).i32(-1);
    b.f64(1).f64(100).text("m").text("c");
    const ChromatogramData d = loadChromatogram(b.bytes);
    EXPECT_EQ(d.version.number, 0);
    EXPECT_EQ(d.signal.at(0), 7.0f);
    EXPECT_EQ(d.pointsPerSecond, 10);
    EXPECT_TRUE(d.groupResults.empty());
    EXPECT_TRUE(d.method.components.empty());
}

// Every truncation is a clear error, never a crash. The sample count sits right after the
// method block, where a record without samples first differs from one with them.
TEST(DamagedFiles, TruncationsAndHostileSampleCountsAreRefused)
{
    ChromatogramData d = richRecord();
    d.signal.assign(std::vector<float>(8, 1.0f));
    const std::string bytes = storeChromatogram(d);
    for (size_t n = 0; n < bytes.size(); ++n)
        EXPECT_THROW(loadChromatogram(bytes.substr(0, n)), ArchiveError) << n;
    ChromatogramData empty = d;
    empty.signal.resize(0);
    empty.peaks.clear();
    const std::string head = storeChromatogram(empty);
    size_t at = 0;
    while (head[at] == bytes[at])
        ++at;
    for (const int32_t count : {0x7FFFFFF0, -5}) {
        std::string hostile = bytes;
        std::memcpy(hostile.data() + at, &count, 4);
        EXPECT_THROW(loadChromatogram(hostile), ArchiveError) << count;
    }
}

TEST(ChromatogramFiles, SaveReplacesWithoutStaleBytesAndFailureKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.path("run.chg");
    ChromatogramData big = richRecord();
    big.signal.assign(std::vector<float>(5000, 2.0f));
    writeChromatogramFile(path, big);
    ChromatogramData small = richRecord();
    writeChromatogramFile(path, small);
    EXPECT_EQ(std::filesystem::file_size(path), storeChromatogram(small).size());
    EXPECT_TRUE(fieldsEqual(readChromatogramFile(path), small));

    // A save that cannot complete (the target is a folder) leaves everything as it was.
    const std::string folder = dir.path("occupied.chg");
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/keep").put('k');
    EXPECT_THROW(writeChromatogramFile(folder, small), FileError);
    EXPECT_TRUE(std::filesystem::exists(folder + "/keep"));
    EXPECT_THROW(writeChromatogramFile(dir.path("missing/run.chg"), small), FileError);
    for (const auto& e : std::filesystem::directory_iterator(dir.root()))
        EXPECT_EQ(e.path().filename().string().rfind(".dgaws-save", 0), std::string::npos)
            << "temporary file left behind: " << e.path();
}

TEST(BinaryFiles, SamplesOnlyWithRemainderIgnored)
{
    TempDir dir;
    const float values[] = {1000.0f, -2000.0f};
    writeFileAtomically(dir.path("old.dat"),
                        std::string(reinterpret_cast<const char*>(values), 8) + "xy");
    const ChromatogramData d = readBinaryChromatogram(dir.path("old.dat"));
    EXPECT_EQ(d.signal.values(), (std::vector<float>{1000.0f, -2000.0f}));
    EXPECT_EQ(d.signalMin, -2000.0f);
    EXPECT_DOUBLE_EQ(d.method.timeEnd, 2.0 / 600.0);
    EXPECT_EQ(d.method.timeStart, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(d.method.levelMax), 1.0f);
    writeBinaryChromatogram(dir.path("copy.dat"), d);
    EXPECT_EQ(readWholeFile(dir.path("copy.dat")),
              std::string(reinterpret_cast<const char*>(values), 8));
    writeFileAtomically(dir.path("empty.dat"), "");
    EXPECT_EQ(readBinaryChromatogram(dir.path("empty.dat")).signal.count(), 0);
    EXPECT_THROW(readBinaryChromatogram(dir.path("none.dat")), FileError);
}

TEST(MethodFiles, WriteThenReadGivesBackMethodCurvesAndSecondList)
{
    MethodLibraryEntry e;
    e.method = richRecord().method;
    e.defaultComponents = e.method.components;
    CalibrationCurve curve;
    curve.name = "校正曲线1";
    curve.components = e.method.components;
    curve.levels.resize(2);
    curve.levels[1].runs.push_back({"/data/标样.chg", {{1.0, 2.0, 3.0}}});
    curve.impurityFactor1 = 1.5;
    curve.impurityFactor2 = -0.5;
    curve.baseComponentIndex = 0;
    curve.calibrated = 1;
    e.curves = {curve, CalibrationCurve{}};
    e.path = "/m/x.she";
    const std::string bytes = storeMethodFile(e);
    EXPECT_EQ(bytes.substr(0, 3), "755");
    EXPECT_EQ(loadMethodBytes(bytes, "/m/x.she"), e);
    for (size_t n = 0; n < bytes.size(); n += 7)
        EXPECT_THROW(loadMethodBytes(bytes.substr(0, n)), ArchiveError) << n;
}

TEST(MethodFiles, OldCalibrationMarksKeepDefaultsAndCarryCalibrated)
{
    // A curve list with one curve, no components, no levels, then an old mark.
    auto curveList = [](int mark, bool impurity, bool base) {
        ByteBuilder b;
        b.i32(1).i32(0).i32(0).i32(mark);
        if (impurity)
            b.f64(2.5).f64(0.25);
        if (base)
            b.i32(3);
        if (mark >= 80)
            b.i32(1);
        b.text("old");
        return b.bytes;
    };
    MethodLibraryEntry e;
    std::string methodBlock = storeMethodFile(e);
    methodBlock.resize(methodBlock.size() - 8);  // drop the empty curve list and second list
    struct Case {
        int mark;
        bool impurity, base;
        double f1;
        int baseIndex, calibrated;
    };
    for (const Case& c : {Case{1, false, false, 1.0, -1, 1}, Case{0, false, false, 1.0, -1, 0},
                          Case{80, true, false, 2.5, -1, 1}, Case{88, true, true, 2.5, 3, 1},
                          Case{104, true, true, 2.5, 3, 1}}) {
        const std::string bytes =
            methodBlock + curveList(c.mark, c.impurity, c.base) + std::string(4, '\0');
        const MethodLibraryEntry back = loadMethodBytes(bytes);
        ASSERT_EQ(back.curves.size(), 1u) << c.mark;
        EXPECT_EQ(back.curves[0].impurityFactor1, c.f1) << c.mark;
        EXPECT_EQ(back.curves[0].baseComponentIndex, c.baseIndex) << c.mark;
        EXPECT_EQ(back.curves[0].calibrated, c.calibrated) << c.mark;
        EXPECT_EQ(back.curves[0].name, "old");
        EXPECT_TRUE(back.curves[0].levels.empty());
    }
}

TEST(MethodFiles, ShippedDefaultMethodIsWhatTheGeneratorWrites)
{
    const std::string shipped = readWholeFile(DGAWS_SOURCE_DIR "/data/QLDefault.she");
    const std::string generated = readWholeFile(DGAWS_BINARY_DIR "/data/QLDefault.she");
    EXPECT_EQ(shipped, generated) << "run the default-method target and copy its output to data/";
    const MethodLibraryEntry e = loadMethodBytes(shipped);
    EXPECT_EQ(storeMethodFile(e), shipped) << "reading and writing back changes no byte";
    EXPECT_EQ(e.curves.size(), 2u);
}
