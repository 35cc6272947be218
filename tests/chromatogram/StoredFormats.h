#pragma once

// Byte-by-byte images of chromatogram files of the older formats, written from the
// layouts those formats hold, with a distinct value in every field so that a reader that
// skips or swaps an item is caught.
#include "ByteBuilder.h"

#include "chromatogram/ChromatogramData.h"

#include <cmath>
#include <string>

namespace dgaws::test {

// Values the images carry; tests compare what was read with these.
namespace image {
constexpr int kOption7 = 7007;
constexpr double kAmbientPressure = 99.5;
constexpr double kOilVolume = 41.0;
constexpr double kOilValue1 = 12.5;
constexpr int kJudgeWidth = 21;
constexpr double kTimeEnd = 7.5;
constexpr int kTraceColor = 0x123456;
constexpr int kReportDiagnosis = 0;
constexpr float kSample0 = 12.5f;
constexpr float kSample1 = -3.0f;
constexpr int kRate = 50;
constexpr double kPeakRt = 1.25;
constexpr double kPeakOil = 33.0;
constexpr double kPeakHalfWidth = 0.031;
constexpr int kStandardRun = 3;
constexpr double kSampleAmount = 88.0;
constexpr double kGas0 = 11.0;
constexpr double kTotalHc = 44.0;
inline const std::string kMethodNameGbk = "\xB7\xBD\xB7\xA8";  // 方法
inline const std::string kConclusionGbk = "\xD5\xFD\xB3\xA3";  // 正常
inline const std::string kExtra5 = "extra5";
}  // namespace image

inline void peakImage(ByteBuilder& b, int format)
{
    b.i32(1).i32(2).i32(100).i32(125).f64(image::kPeakRt).i32(160);
    b.f32(1.f).f32(900.f).f32(2.f).i32(100).i32(160).f32(1.f).f32(2.f);
    b.i32(0x3).i32(9).f64(1234.5).f64(898.5).f64(100.0).f64(5.5);
    if (format >= 750)
        b.f64(image::kPeakOil);
    b.f64(image::kPeakHalfWidth).f64(1.1).f64(2000.0).f64(1.6);
    b.i32(0).text("H2(\xC7\xE2\xC6\xF8)").i32(4).i32(0);
}

inline void colorsImage(ByteBuilder& b, int format)
{
    b.i32(0x10);
    if (format >= 755)
        b.i32(0x20);
    b.i32(0x30).i32(0x40).i32(0x50).i32(0x60).i32(image::kTraceColor).i32(0x80);
}

inline void integrationImage(ByteBuilder& b)
{
    b.f64(100).f64(10).f64(0).i32(image::kJudgeWidth).f64(0).f64(0).f64(30).i32(4);
    b.f64(50).f64(10).i32(5);
}

inline void reportImage(ByteBuilder& b, int format)
{
    b.i32(1).text("T").text("").text("").text("");
    b.i32(1).text("area").text("A").i32(1).i32(12);
    b.f64(10).f64(11).f64(12).f64(13).i32(1).i32(1).i32(0).i32(1).i32(2);
    if (format >= 753)
        b.i32(image::kReportDiagnosis);
}

inline void componentImage(ByteBuilder& b, bool currentLayout)
{
    b.i32(0).text("CO").text("CO").f64(1.1).f64(0.05).i32(0).i32(-1);
    b.f64(2.0).f64(0.5).f64(0).f64(0).f64(0.999).i32(1);
    if (currentLayout)
        b.i32(112).i32(-1).i32(2).f64(10).f64(20);
    else
        b.i32(2).f64(10).f64(20);
}

// The method block in the order written since format 600.
inline void methodImage(ByteBuilder& b, const char* tag, int format)
{
    b.tag(tag).i32(1792).text(image::kMethodNameGbk).i32(1);
    b.text("t3").text("/base").text("/base/sub");
    b.i32(0).i32(1).i32(2).i32(1);
    b.i32(1).i32(0).text("%Y");  // listA
    b.i32(0).i32(1).text("PA").text("PB").i32(3).i32(4);
    b.i32(1).i32(14).text("").i32(0);  // naming block
    b.text("DEV1").text("tester").text("2013062301").text("company").text("s1").text("s2");
    if (format >= 752)
        b.i32(image::kOption7);
    b.i32(1).text("\xD2\xC7\xC6\xF7");  // 仪器
    if (format >= 600)
        b.text("Instr");
    b.text("GC").i32(1);
    b.i32(1).f64(1).f64(2).f64(3).f64(4).f64(5).f64(6).i32(1).i32(1).i32(2).i32(3).i32(4);
    b.i32(1).i32(5).f64(1).f64(2).f64(3).f64(4).i32(9);
    b.i32(1).i32(0).i32(5).i32(0).i32(1);
    b.i32(1).i32(1).text("G1").f64(0.5).f64(1.5);
    if (format >= 750) {
        b.f64(image::kAmbientPressure).f64(25.0).f64(5.0).f64(image::kOilVolume);
        b.i32(1).i32(2).i32(3).i32(4).i32(5).i32(6).f64(image::kOilValue1).f64(0.88).i32(7);
        b.date(0, 41448.5).text("a").text("b");
        for (int i = 0; i < 7; ++i)
            b.f64(i + 0.5);
    }
    integrationImage(b);
    b.i32(1).i32(1).f64(2.0).i32(8).f64(40.0).i32(3);  // time program
    b.i32(1).i32(1);                                   // manual events
    peakImage(b, format);
    b.i32(2).f64(1.3);
    b.i32(0).f64(image::kTimeEnd).f64(0.0).f64(-100.0).f64(500.0).i32(0);
    colorsImage(b, format);
    reportImage(b, format);
    b.i32(1);
    componentImage(b, format >= 600);
}

// A whole .chg file of a format above 516.
inline std::string chromatogramImage(const char* tag, int format)
{
    ByteBuilder b;
    b.tag(tag);
    methodImage(b, tag, format);
    b.i32(2).f32(image::kSample0).f32(image::kSample1);
    b.i32(1);
    peakImage(b, format);
    colorsImage(b, format);
    b.f32(900.f).f32(-3.f).i32(1).date(0, 41448.25).i32(1).i32(image::kRate).i32(516).i32(1);
    b.i32(0).i32(0).i32(image::kStandardRun).f64(1.0).f64(image::kSampleAmount);
    b.text(image::kMethodNameGbk).text("ADefaultCali");
    b.i32(1).i32(1).text("G").f64(0.1).f64(0.9).i32(2).f64(10).f64(20).f64(30);
    b.text("B.chg").f64(image::kTotalHc).i32(-2).i32(3).text(image::kConclusionGbk).text("adv");
    b.i32(0).i32(2).i32(1);
    b.f64(image::kGas0);
    for (int i = 1; i < 9; ++i)
        b.f64(i);
    if (format >= 754)
        b.text("e1").text("e2").text("e3").text("e4").text(image::kExtra5);
    return b.bytes;
}

// The method block in the order of formats up to 516.
inline void oldMethodImage(ByteBuilder& b, int format)
{
    if (format >= 502)
        b.tag("510");
    b.i32(1792).text(image::kMethodNameGbk).i32(1);
    b.text("DEV1").text("tester").text("sn").text("co");
    integrationImage(b);
    b.i32(0).i32(0);  // time program off, no rows
    if (format >= 511)
        b.i32(0).i32(0);
    b.i32(0).i32(0).i32(3);
    if (format >= 512)
        b.i32(0).i32(0).i32(0);
    b.f64(image::kTimeEnd).f64(0).f64(-50).f64(800);
    colorsImage(b, format);
    if (format >= 513)
        b.i32(1).text("I").text("V").i32(1);
    if (format >= 514)
        b.text("/b").text("/b/s").i32(0).i32(1).i32(0).i32(0);
    if (format >= 516)
        reportImage(b, format);
    if (format >= 503) {
        b.i32(1);
        componentImage(b, false);
    }
}

// A .chg file of format 510 (int samples and extrema) or 515/516 (float rate, dropped list).
inline std::string oldChromatogramImage(const char* tag, int format)
{
    ByteBuilder b;
    b.tag(tag);
    oldMethodImage(b, format);
    b.i32(2);
    if (format >= 511)
        b.f32(image::kSample0).f32(image::kSample1);
    else
        b.i32(12).i32(-3);
    b.i32(1);
    peakImage(b, format);
    colorsImage(b, format);
    if (format == 515 || format == 516) {
        b.i32(77).i32(1);
        peakImage(b, 750);
        b.i32(5).f64(6.5);
    }
    if (format >= 511)
        b.f32(900.f).f32(-3.f);
    else
        b.i32(900).i32(-3);
    b.i32(1).date(0, 41448.25).i32(1);
    if (format >= 511 && format <= 516)
        b.f32(image::kRate + 0.9f);
    else
        b.i32(image::kRate);
    b.i32(516).i32(1).i32(0).i32(0).i32(image::kStandardRun).f64(1.0).f64(image::kSampleAmount);
    b.text(image::kMethodNameGbk).text("cal");
    if (format >= 504)
        b.i32(1).i32(1).text("G").f64(0.1).f64(0.9).i32(2).f64(10).f64(20).f64(30);
    return b.bytes;
}

// A chromatogram with a distinct value in the stored fields that have their own stored form
// or text, a rising wave of samples and one peak of every type code.
inline ChromatogramData richRecord(int samples = 1199, int rate = 20)
{
    ChromatogramData d;
    std::vector<float> s(static_cast<size_t>(samples));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(100.0 * std::sin(static_cast<double>(i) / 37.0) + 0.25 * i);
    d.signal.assign(std::move(s));
    d.pointsPerSecond = rate;
    d.hasData = 1;
    AnalysisMethod& m = d.method;
    m.levelMax = 750.5;
    m.levelMin = -120.25;
    m.name = d.methodName = "变压器油方法";
    m.deviceNo = "1号主变";
    m.tester = "张工";
    m.serialNo = "2013062301";
    m.calcMethod = 3;
    m.option7 = 3;
    m.testRecord.text1 = "上次";
    m.testRecord.values[6] = 6.5;
    m.listC.entries.resize(2);
    m.listC.entries[1].c[5] = 5.5;
    m.listD.entries.push_back({4, 1, 2, 3, 4});
    m.groups.push_back({1, "烃类", 0.5, 4.5});
    m.timeProgram.push_back({1.5, 8, 20.0, 3});
    m.manualEvents.push_back({PeakRecord{}, 2, 1.75});
    m.manualEvents[0].peak.componentName = "CH4(甲烷)";
    m.report.title = "油中溶解气体分析报告";
    ComponentEntry c;
    c.name = "H2(氢气)";
    c.groupParentIndex = 2;
    c.concentrations = {1.0, 2.0, 3.0};
    m.components.push_back(c);
    d.injectionTime = OleDateTime::fromCivil(2024, 3, 5, 14, 7, 9);
    const int flags[] = {0x0, 0x2, 0x3, 0x1, 0x10, 0x20, 0x21, 0x80, 0x100};
    for (int k = 0; k < 9; ++k) {
        PeakRecord p;
        p.startIndex = 7 + 100 * k;
        p.apexIndex = p.startIndex + 13;
        p.endIndex = p.startIndex + 41;
        p.baselineStartIndex = p.startIndex - 3;
        p.baselineEndIndex = p.endIndex + 5;
        p.retentionTime = p.apexIndex / 20.0 / 60.0;
        p.halfWidth = 0.0125 + 0.001 * k;
        p.area = k == 8 ? -2500.0 : 1000.0 + 10.5 * k;
        p.areaPercent = 11.0 + k;
        p.height = 300.0 + k;
        p.apexValue = 310.0f;
        p.tailingFactor = 1.05 + 0.01 * k;
        p.baselineStartValue = 2.5f + k;
        p.baselineEndValue = 3.5f + k;
        p.typeFlags = flags[k];
        d.peaks.append(p);
    }
    d.peaks[0].oilContent = 7.25;
    d.peaks[0].componentName = "C2H2(乙炔)";
    d.peaks[0].displayFlags = 0x44;
    d.colors.rulerBackColor = 0x00ABCDEF;
    d.signalMax = 1e6f;
    d.signalMin = -3.75f;
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

}  // namespace dgaws::test
