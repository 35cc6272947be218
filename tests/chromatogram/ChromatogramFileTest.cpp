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

namespace {

// A distinct value in the stored fields that have their own stored form or text.
ChromatogramData richRecord()
{
    ChromatogramData d;
    d.method.name = d.methodName = "变压器油方法";
    d.method.deviceNo = "1号主变";
    d.method.option7 = 3;
    d.method.testRecord.text1 = "上次";
    d.method.testRecord.values[6] = 6.5;
    d.method.listC.entries.resize(2);
    d.method.listC.entries[1].c[5] = 5.5;
    d.method.listD.entries.push_back({4, 1, 2, 3, 4});
    d.method.groups.push_back({1, "烃类", 0.5, 4.5});
    d.method.timeProgram.push_back({1.5, 8, 20.0, 3});
    d.method.manualEvents.push_back({PeakRecord{}, 2, 1.75});
    d.method.manualEvents[0].peak.componentName = "CH4(甲烷)";
    d.method.report.title = "油中溶解气体分析报告";
    ComponentEntry c;
    c.name = "H2(氢气)";
    c.groupParentIndex = 2;
    c.concentrations = {1.0, 2.0, 3.0};
    d.method.components.push_back(c);
    d.signal.assign({1.0f, 2.5f, -3.75f, 1e6f});
    PeakRecord p;
    p.startIndex = 1;
    p.apexIndex = 2;
    p.retentionTime = 0.002;
    p.area = 12.5;
    p.oilContent = 7.25;
    p.componentName = "C2H2(乙炔)";
    p.displayFlags = 0x44;
    d.peaks.append(p);
    d.colors.rulerBackColor = 0x00ABCDEF;
    d.signalMax = 1e6f;
    d.signalMin = -3.75f;
    d.injectionTime = OleDateTime::fromCivil(2026, 12, 6, 9, 30, 0);
    d.hasData = 1;
    d.pointsPerSecond = 50;
    d.editMode = 0x1203;
    d.standardRun = 1;
    d.sampleAmount = 50.0;
    d.calibrationName = "ADefaultCali";
    d.groupResults.push_back({1, "烃类", 0.5, 4.5, 3, 100.0, 50.0, 12.0});
    d.linkedFile = "/data/B_1号主变.chg";
    d.totalHydrocarbons = 150.5;
    d.ratioCode3 = 2;
    d.conclusion = "电弧放电";
    d.advice = "建议：缩短检测周期。\r\n";
    d.gasInOil[8] = 1.5;
    d.diagnosisCode2 = 4;
    d.extraTexts = {"一", "二", "三", "四", "五"};
    return d;
}

}  // namespace

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

TEST(OldFormats, Format510HasIntSamplesAndIntExtremaAndEndsAfterGroupResults)
{
    const ChromatogramData d = loadChromatogram(oldChromatogramImage("510", 510));
    EXPECT_EQ(d.version.number, 510);
    ASSERT_EQ(d.method.components.size(), 1u);
    EXPECT_EQ(d.method.components[0].groupParentIndex, -1) << "old component layout";
    EXPECT_EQ(d.signal.values(), (std::vector<float>{12.0f, -3.0f}));
    EXPECT_EQ(d.signalMax, 900.0f);
    EXPECT_EQ(d.pointsPerSecond, image::kRate);
    EXPECT_EQ(d.groupResults.size(), 1u);
    EXPECT_EQ(d.diagnosisCode, -1);
}

TEST(OldFormats, Formats515And516DropTheSecondPeakListAndTruncateAFloatRate)
{
    for (auto [tag, format] : {std::pair{"515", 515}, std::pair{"516", 516}}) {
        const ChromatogramData d = loadChromatogram(oldChromatogramImage(tag, format));
        EXPECT_EQ(d.version.number, format);
        ASSERT_EQ(d.peaks.size(), 1) << "the dropped list must not join the peak table";
        EXPECT_EQ(d.signal.at(0), image::kSample0);
        EXPECT_EQ(d.pointsPerSecond, image::kRate) << "50.9 truncates to 50";
        EXPECT_EQ(d.sampleAmount, image::kSampleAmount);
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
