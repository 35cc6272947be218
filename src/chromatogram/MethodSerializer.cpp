#include "MethodSerializer.h"

namespace dgaws {
namespace {

int formatOf(const Archive& ar, const FormatVersion& v)
{
    return ar.isStoring() ? FormatVersion::kCurrent : v.number;
}

void serializeNamePart(Archive& ar, NamePart& p)
{
    ar.io(p.partType);
    ar.ioText(p.partText);
}

void serializeNamingBlock(Archive& ar, NamingBlock& b)
{
    ioList(ar, b.parts, 5, [&](NamePart& p) { serializeNamePart(ar, p); });
    ar.io(b.namingOption);
}

void serializeInstrument(Archive& ar, InstrumentEntry& e, int format)
{
    ar.ioText(e.label);
    if (format >= Format::EnglishLabels)
        ar.ioText(e.labelEn);
    ar.ioText(e.value);
    ar.io(e.flags);
}

void serializeInstrumentList(Archive& ar, std::vector<InstrumentEntry>& list, int format)
{
    ioList(ar, list, format >= Format::EnglishLabels ? 7 : 6, [&](InstrumentEntry& e) {
        if (ar.isLoading())
            e.version = FormatVersion(format);
        serializeInstrument(ar, e, format);
    });
}

void serializeListC(Archive& ar, ListCBlock& b)
{
    ioList(ar, b.entries, 52, [&](ListCEntry& e) {
        for (double& v : e.c)
            ar.io(v);
        ar.io(e.cFlag);
    });
    ar.io(b.cOption1);
    ar.io(b.cOption2);
    ar.io(b.cOption3);
    ar.io(b.cOption4);
}

void serializeListD(Archive& ar, ListDBlock& b)
{
    ioList(ar, b.entries, 36, [&](ListDEntry& e) {
        ar.io(e.dKey);
        ar.io(e.d1);
        ar.io(e.d2);
        ar.io(e.d3);
        ar.io(e.d4);
    });
    ar.io(b.dOption);
}

void serializeGroups(Archive& ar, std::vector<GroupDefinition>& groups)
{
    ioList(ar, groups, 21, [&](GroupDefinition& g) {
        ar.io(g.groupNo);
        ar.ioText(g.groupName);
        ar.io(g.windowStart);
        ar.io(g.windowEnd);
    });
}

void serializeTestRecord(Archive& ar, TestRecordBlock& t)
{
    ar.io(t.testTime);
    ar.ioText(t.text1);
    ar.ioText(t.text2);
    for (double& v : t.values)
        ar.io(v);
}

void serializeIntegration(Archive& ar, IntegrationParams& p)
{
    ar.io(p.heightRatio);
    ar.io(p.riderRatio);
    ar.io(p.lockTime);
    ar.io(p.judgeWidth);
    ar.io(p.minArea);
    ar.io(p.minHeight);
    ar.io(p.slope);
    ar.io(p.smoothWidth);
    ar.io(p.stopTime);
    ar.io(p.timeDoubling);
    ar.io(p.peakWidth);
}

void serializeTimeProgram(Archive& ar, int& enabled, std::vector<TimeEvent>& rows)
{
    ar.io(enabled);
    ioList(ar, rows, 24, [&](TimeEvent& e) {
        ar.io(e.time);
        ar.io(e.peakWidth);
        ar.io(e.slope);
        ar.io(e.type);
    });
}

void serializeManualEvents(Archive& ar, int& enabled, std::vector<ManualEvent>& rows,
                           int format)
{
    ar.io(enabled);
    ioList(ar, rows, minPeakRecordBytes(format) + 12, [&](ManualEvent& e) {
        if (ar.isLoading())
            e.peak.version = FormatVersion(format);
        serializePeakRecord(ar, e.peak);
        ar.io(e.kind);
        ar.io(e.time);
    });
}

void serializeDisplayRange(Archive& ar, AnalysisMethod& m)
{
    ar.io(m.timeEnd);
    ar.io(m.timeStart);
    ar.io(m.levelMin);
    ar.io(m.levelMax);
}

void serializeOilTest(Archive& ar, AnalysisMethod& m)
{
    ar.io(m.ambientPressure);
    ar.io(m.ambientTemperature);
    ar.io(m.gasVolume);
    ar.io(m.oilVolume);
    ar.io(m.oilOption1);
    ar.io(m.oilOption2);
    ar.io(m.oilOption3);
    ar.io(m.oilOption4);
    ar.io(m.oilOption5);
    ar.io(m.oilOption6);
    ar.io(m.oilValue1);
    ar.io(m.oilValue2);
    ar.io(m.oilOption7);
    serializeTestRecord(ar, m.testRecord);
}

void serializeMethodColors(Archive& ar, AnalysisMethod& m, int format)
{
    if (ar.isLoading())
        m.colors.version = FormatVersion(format);
    serializeColors(ar, m.colors);
}

// The order of methods written before the current layout. Only its version thresholds are
// known from those releases; the placement of the items between them is this reader's
// reconstruction, and every item added later keeps its default.
void serializeOldMethod(Archive& ar, AnalysisMethod& m, int format)
{
    if (format >= Format::MethodOwnTag) {
        FormatVersion own;
        ar.ioTag(own);
    }
    ar.io(m.blockSize);
    ar.ioText(m.name);
    ar.io(m.visible);
    ar.ioText(m.deviceNo);
    ar.ioText(m.tester);
    ar.ioText(m.serialNo);
    ar.ioText(m.sendingCompany);
    serializeIntegration(ar, m.integration);
    serializeTimeProgram(ar, m.timeProgramEnabled, m.timeProgram);
    if (format >= Format::OlderManualEvents)
        serializeManualEvents(ar, m.useManualEvents, m.manualEvents, format);
    ar.io(m.quantOption1);
    ar.io(m.quantOption2);
    ar.io(m.calcMethod);
    if (format >= Format::OlderGroups) {
        ar.io(m.impurityCalc);
        ar.io(m.groupCalc);
        serializeGroups(ar, m.groups);
    }
    serializeDisplayRange(ar, m);
    serializeMethodColors(ar, m, format);
    if (format >= Format::OlderInstruments)
        serializeInstrumentList(ar, m.instrumentInfo, format);
    if (format >= Format::OlderNaming) {
        ar.ioText(m.text4);
        ar.ioText(m.saveFolder);
        ar.io(m.autoName1);
        ar.io(m.autoName2);
        serializeNamingBlock(ar, m.fileNaming);
    }
    if (format >= Format::OlderReport)
        serializeReport(ar, m.report, format);
    if (format >= Format::MethodComponents)
        serializeComponentList(ar, m.components);
}

}  // namespace

size_t minPeakRecordBytes(int format)
{
    return (format >= Format::OilTest ? 148 : 140) + 1;
}

void serializePeakRecord(Archive& ar, PeakRecord& p)
{
    const int format = formatOf(ar, p.version);
    ar.io(p.number);
    ar.io(p.detectTag);
    ar.io(p.startIndex);
    ar.io(p.apexIndex);
    ar.io(p.retentionTime);
    ar.io(p.endIndex);
    ar.io(p.startValue);
    ar.io(p.apexValue);
    ar.io(p.endValue);
    ar.io(p.baselineStartIndex);
    ar.io(p.baselineEndIndex);
    ar.io(p.baselineStartValue);
    ar.io(p.baselineEndValue);
    ar.io(p.typeFlags);
    ar.io(p.eventTag);
    ar.io(p.area);
    ar.io(p.height);
    ar.io(p.areaPercent);
    ar.io(p.gasContent);
    if (format >= Format::OilTest)
        ar.io(p.oilContent);
    ar.io(p.halfWidth);
    ar.io(p.tailingFactor);
    ar.io(p.plates);
    ar.io(p.resolution);
    ar.io(p.componentIndex);
    ar.ioText(p.componentName);
    ar.io(p.displayFlags);
    ar.io(p.excluded);
}

void serializeColors(Archive& ar, DisplayColors& c)
{
    const int format = formatOf(ar, c.version);
    ar.io(c.rulerColor);
    if (format >= Format::RulerBackColor)
        ar.io(c.rulerBackColor);
    ar.io(c.baselineColor);
    ar.io(c.peakInfoColor);
    ar.io(c.peakMarkColor);
    ar.io(c.selectedPeakColor);
    ar.io(c.traceColor);
    ar.io(c.backgroundColor);
}

void serializeComponent(Archive& ar, ComponentEntry& c)
{
    ar.io(c.index);
    ar.ioText(c.name);
    ar.ioText(c.formula);
    ar.io(c.retentionTime);
    ar.io(c.timeWindow);
    ar.io(c.isInternalStandard);
    ar.io(c.internalStandardIndex);
    ar.io(c.factor1);
    ar.io(c.factor2);
    ar.io(c.factor3);
    ar.io(c.factor4);
    ar.io(c.correlation);
    ar.io(c.curveType);
    int32_t count = 0;
    if (ar.isStoring()) {
        int32_t mark = ComponentEntry::kFormatMark;
        ar.io(mark);
        ar.io(c.groupParentIndex);
        count = ar.ioCount(c.concentrations.size(), 8);
    } else {
        int32_t markOrCount = 0;
        ar.io(markOrCount);
        if (markOrCount >= ComponentEntry::kFormatMarkThreshold) {
            ar.io(c.groupParentIndex);
            count = ar.ioCount(0, 8);
        } else {
            c.groupParentIndex = -1;
            if (markOrCount < 0 || static_cast<size_t>(markOrCount) * 8 > ar.remaining())
                throw ArchiveError("impossible concentration count " +
                                   std::to_string(markOrCount));
            count = markOrCount;
        }
        c.concentrations.assign(static_cast<size_t>(count), 0.0);
    }
    for (double& v : c.concentrations)
        ar.io(v);
}

void serializeComponentList(Archive& ar, std::vector<ComponentEntry>& list)
{
    ioList(ar, list, 78, [&](ComponentEntry& c) { serializeComponent(ar, c); });
}

void serializeCalibrationList(Archive& ar, std::vector<CalibrationCurve>& curves)
{
    ioList(ar, curves, 17, [&](CalibrationCurve& curve) {
        serializeComponentList(ar, curve.components);
        ioList(ar, curve.levels, 4, [&](StandardLevel& level) {
            ioList(ar, level.runs, 5, [&](StandardRun& run) {
                ar.ioText(run.path);
                ioList(ar, run.responses, 24, [&](ComponentResponse& r) {
                    ar.io(r.retentionTime);
                    ar.io(r.area);
                    ar.io(r.height);
                });
            });
        });
        int32_t mark = CalibrationCurve::kFormatMark;
        ar.io(mark);
        if (ar.isStoring() || mark >= 80) {
            ar.io(curve.impurityFactor1);
            ar.io(curve.impurityFactor2);
            if (ar.isStoring() || mark >= 88)
                ar.io(curve.baseComponentIndex);
            ar.io(curve.calibrated);
        } else {
            curve.calibrated = mark;
        }
        ar.ioText(curve.name);
    });
}

void serializeReport(Archive& ar, ReportSettings& r, int format)
{
    if (ar.isStoring())
        format = FormatVersion::kCurrent;
    ar.io(r.language);
    ar.ioText(r.title);
    ar.ioText(r.subtitle);
    ar.ioText(r.laboratory);
    ar.ioText(r.footer);
    ioList(ar, r.columns, 10, [&](ReportColumn& c) {
        ar.ioText(c.key);
        ar.ioText(c.caption);
        ar.io(c.visible);
        ar.io(c.width);
    });
    ar.io(r.marginLeft);
    ar.io(r.marginTop);
    ar.io(r.marginRight);
    ar.io(r.marginBottom);
    ar.io(r.showChromatogram);
    ar.io(r.showPeakTable);
    ar.io(r.showInstrument);
    ar.io(r.showSampleInfo);
    ar.io(r.decimals);
    if (format >= Format::ReportDiagnosis)
        ar.io(r.showDiagnosis);
}

void serializeMethod(Archive& ar, AnalysisMethod& m)
{
    if (ar.isStoring())
        m.version.reset();
    const int format = m.version.number;
    if (ar.isLoading() && format < Format::CurrentLayout) {
        serializeOldMethod(ar, m, format);
        return;
    }
    FormatVersion own = m.version;
    ar.ioTag(own);  // the block's own tag; the layout follows the file head's number
    ar.io(m.blockSize);
    ar.ioText(m.name);
    ar.io(m.visible);
    ar.ioText(m.text3);
    ar.ioText(m.text4);
    ar.ioText(m.saveFolder);
    ar.io(m.option1);
    ar.io(m.option2);
    ar.io(m.option3);
    ar.io(m.option4);
    ioList(ar, m.listA, 5, [&](NamePart& p) { serializeNamePart(ar, p); });
    ar.io(m.autoName1);
    ar.io(m.autoName2);
    ar.ioText(m.text5);
    ar.ioText(m.text6);
    ar.io(m.option5);
    ar.io(m.option6);
    serializeNamingBlock(ar, m.fileNaming);
    ar.ioText(m.deviceNo);
    ar.ioText(m.tester);
    ar.ioText(m.serialNo);
    ar.ioText(m.sendingCompany);
    ar.ioText(m.sampleText1);
    ar.ioText(m.sampleText2);
    if (format >= Format::MethodOption7)
        ar.io(m.option7);
    serializeInstrumentList(ar, m.instrumentInfo, format);
    serializeListC(ar, m.listC);
    serializeListD(ar, m.listD);
    ar.io(m.quantOption1);
    ar.io(m.quantOption2);
    ar.io(m.calcMethod);
    ar.io(m.impurityCalc);
    ar.io(m.groupCalc);
    serializeGroups(ar, m.groups);
    if (format >= Format::OilTest)
        serializeOilTest(ar, m);
    serializeIntegration(ar, m.integration);
    serializeTimeProgram(ar, m.timeProgramEnabled, m.timeProgram);
    serializeManualEvents(ar, m.useManualEvents, m.manualEvents, format);
    ar.io(m.option8);
    serializeDisplayRange(ar, m);
    ar.io(m.option9);
    serializeMethodColors(ar, m, format);
    serializeReport(ar, m.report, format);
    serializeComponentList(ar, m.components);
}

}  // namespace dgaws
