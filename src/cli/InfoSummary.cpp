#include "InfoSummary.h"

#include "RecordJson.h"
#include "TextTable.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <string>

namespace dgaws::cli {
namespace {

using Align = TextTable::Align;

std::string general(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::string hexColor(int32_t c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", static_cast<unsigned>(c));
    return buf;
}

void field(std::ostream& out, const char* label, const std::string& value)
{
    std::string line = "  ";
    line += label;
    line += ':';
    if (line.size() < 24)
        line.append(24 - line.size(), ' ');
    else
        line += ' ';
    out << line << value << '\n';
}

void heading(std::ostream& out, const std::string& title)
{
    out << '\n' << title << '\n';
}

std::string orNone(const std::string& s)
{
    return s.empty() ? "(none)" : s;
}

std::string dateText(const OleDateTime& t)
{
    const std::string text = t.format("%Y-%m-%d %H:%M:%S");
    if (!text.empty())
        return text;
    return t.status == OleDateTime::Null ? "(null date)" : "(invalid date)";
}

const char* const kGasNames[ChromatogramData::kGasCount] = {
    "H2", "CH4", "C2H2", "C2H4", "C2H6", "N2", "O2", "CO", "CO2",
};

std::string diagnosisText(int code)
{
    if (code == -1)
        return "-1 (not judged)";
    if (code == -2)
        return "-2 (attention value exceeded)";
    if (code >= 0 && code <= 8)
        return std::to_string(code) + " (three-ratio fault type)";
    return std::to_string(code);
}

void printPeaks(std::ostream& out, const PeakTable& peaks)
{
    heading(out, "Peaks (" + std::to_string(peaks.size()) + ")");
    if (peaks.empty())
        return;
    TextTable t;
    t.addColumn("No.");
    t.addColumn("RT/min");
    t.addColumn("Area");
    t.addColumn("Height");
    t.addColumn("Area%");
    t.addColumn("Gas");
    t.addColumn("Oil");
    t.addColumn("Type", Align::Left);
    t.addColumn("Component", Align::Left);
    for (const PeakRecord& p : peaks) {
        const int code = peakTypeCode(p.typeFlags);
        std::string name = p.componentName;
        if (p.excluded)
            name += name.empty() ? "(excluded)" : " (excluded)";
        t.addRow({std::to_string(p.number), fixedText(p.retentionTime, 3), fixedText(p.area, 1),
                  fixedText(p.height, 1), fixedText(p.areaPercent, 3), fixedText(p.gasContent, 3),
                  fixedText(p.oilContent, 3), std::to_string(code) + " " + peakTypeName(code),
                  name});
    }
    t.print(out);
}

void printGroupResults(std::ostream& out, const std::vector<GroupResult>& groups)
{
    if (groups.empty())
        return;
    heading(out, "Group results (" + std::to_string(groups.size()) + ")");
    TextTable t;
    t.addColumn("No.");
    t.addColumn("From/min");
    t.addColumn("To/min");
    t.addColumn("Peaks");
    t.addColumn("Area");
    t.addColumn("Height");
    t.addColumn("Content");
    t.addColumn("Name", Align::Left);
    for (const GroupResult& g : groups)
        t.addRow({std::to_string(g.groupNo), fixedText(g.windowStart, 3), fixedText(g.windowEnd, 3),
                  std::to_string(g.peakCount), fixedText(g.totalArea, 1),
                  fixedText(g.totalHeight, 1), fixedText(g.totalContent, 3), g.groupName});
    t.print(out);
}

void printDiagnosis(std::ostream& out, const ChromatogramData& d)
{
    heading(out, "Diagnosis");
    TextTable gases;
    for (const char* name : kGasNames)
        gases.addColumn(name);
    std::vector<std::string> row;
    for (double v : d.gasInOil)
        row.push_back(fixedText(v, 2));
    gases.addRow(std::move(row));
    out << "  Contents in oil (uL/L):\n";
    gases.print(out, "    ");
    field(out, "Total hydrocarbons", fixedText(d.totalHydrocarbons, 4));
    const bool coded = d.ratioCode1 != -1 && d.ratioCode2 != -1 && d.ratioCode3 != -1;
    field(out, "Three-ratio code",
          coded ? std::to_string(d.ratioCode1) + "," + std::to_string(d.ratioCode2) + "," +
                  std::to_string(d.ratioCode3)
                : "(not coded)");
    field(out, "Diagnosis code", diagnosisText(d.diagnosisCode));
    field(out, "Diagnosis code 2", std::to_string(d.diagnosisCode2));
    field(out, "Conclusion", orNone(d.conclusion));
    field(out, "Advice", orNone(d.advice));
    for (size_t i = 0; i < d.extraTexts.size(); ++i)
        if (!d.extraTexts[i].empty())
            field(out, ("Extra text " + std::to_string(i + 1)).c_str(), d.extraTexts[i]);
}

void printChromatogram(std::ostream& out, const InfoDocument& doc, const ChromatogramData& d)
{
    const AnalysisMethod& m = d.method;
    switch (doc.type) {
    case InfoFileType::Binary: field(out, "File type", "binary samples (.dat)"); break;
    case InfoFileType::Cdf: field(out, "File type", "AIA netCDF chromatogram (.cdf)"); break;
    case InfoFileType::PlainText: field(out, "File type", "plain text chromatogram (.txt)"); break;
    case InfoFileType::StandardText:
        field(out, "File type", "standard text chromatogram (.txt)");
        break;
    case InfoFileType::Csv: field(out, "File type", "comma-separated chromatogram (.csv)"); break;
    default: field(out, "File type", "chromatogram (.chg), format " + d.version.text()); break;
    }
    field(out, "Method", orNone(d.methodName.empty() ? m.name : d.methodName));
    field(out, "Calibration", orNone(d.calibrationName));
    field(out, "Calculation", calcMethodName(m.calcMethod));
    field(out, "Injection time", dateText(d.injectionTime));
    std::string sample = d.sampleType == 1 ? "standard sample" : "test sample";
    if (d.sampleType == 1 && d.standardLevel >= 0)
        sample += ", level " + std::to_string(d.standardLevel + 1);
    field(out, "Sample", sample);
    field(out, "Device", orNone(m.deviceNo));
    field(out, "Serial number", orNone(m.serialNo));
    field(out, "Sending company", orNone(m.sendingCompany));
    field(out, "Tester", orNone(m.tester));
    field(out, "Rate", std::to_string(d.pointsPerSecond) + " points per second");
    field(out, "Samples", std::to_string(d.signal.count()));
    field(out, "Duration", fixedText(d.duration(), 3) + " min");
    const SignalRange range = finiteRange(d.signal);
    field(out, "Signal range",
          range.valid ? general(range.min) + " .. " + general(range.max) + " uV" : "(no samples)");
    field(out, "Linked file", orNone(d.linkedFile));
    printPeaks(out, d.peaks);
    printGroupResults(out, d.groupResults);
    // Only a .chg carries the diagnosis.
    if (doc.type == InfoFileType::Chromatogram)
        printDiagnosis(out, d);
}

void printComponents(std::ostream& out, const std::vector<ComponentEntry>& list,
                     const std::string& title)
{
    heading(out, title + " (" + std::to_string(list.size()) + ")");
    if (list.empty())
        return;
    TextTable t;
    t.addColumn("Index");
    t.addColumn("RT/min");
    t.addColumn("Window");
    t.addColumn("Factor1");
    t.addColumn("Factor2");
    t.addColumn("r");
    t.addColumn("Concentrations", Align::Left);
    t.addColumn("Formula", Align::Left);
    t.addColumn("Name", Align::Left);
    for (const ComponentEntry& c : list) {
        std::string conc;
        for (double v : c.concentrations)
            conc += (conc.empty() ? "" : " ") + general(v);
        t.addRow({std::to_string(c.index), fixedText(c.retentionTime, 3),
                  fixedText(c.timeWindow, 3), general(c.factor1), general(c.factor2),
                  general(c.correlation), conc, c.formula, c.name});
    }
    t.print(out);
}

void printCurves(std::ostream& out, const std::vector<CalibrationCurve>& curves)
{
    heading(out, "Calibration curves (" + std::to_string(curves.size()) + ")");
    if (curves.empty())
        return;
    TextTable t;
    t.addColumn("Calibrated");
    t.addColumn("Components");
    t.addColumn("Levels");
    t.addColumn("Runs per level", Align::Left);
    t.addColumn("Name", Align::Left);
    for (const CalibrationCurve& c : curves) {
        std::string runs;
        for (const StandardLevel& l : c.levels)
            runs += (runs.empty() ? "" : " ") + std::to_string(l.runs.size());
        t.addRow({c.calibrated ? "yes" : "no", std::to_string(c.components.size()),
                  std::to_string(c.levels.size()), runs, c.name});
    }
    t.print(out);
}

void printMethod(std::ostream& out, const MethodLibraryEntry& e)
{
    const AnalysisMethod& m = e.method;
    field(out, "File type", "analysis method (.she), format " + m.version.text());
    field(out, "Method", orNone(m.name));
    field(out, "Visibility", m.visible ? "shown" : "hidden");
    field(out, "Calculation", calcMethodName(m.calcMethod));
    field(out, "Response", m.respondsByHeight() ? "height" : "area");
    field(out, "Impurity calculation", m.impurityCalc ? "on" : "off");
    field(out, "Group calculation", m.groupCalc ? "on" : "off");
    field(out, "Oil test",
          general(m.ambientPressure) + " kPa, " + general(m.ambientTemperature) + " C, gas " +
              general(m.gasVolume) + " mL, oil " + general(m.oilVolume) + " mL");
    field(out, "Display range",
          general(m.timeStart) + " .. " + general(m.timeEnd) + " min, " + general(m.levelMin) +
              " .. " + general(m.levelMax) + " mV");
    field(out, "Trace colour", hexColor(m.colors.traceColor));

    const IntegrationParams& p = m.integration;
    heading(out, "Integration");
    field(out, "heightRatio", general(p.heightRatio));
    field(out, "riderRatio", general(p.riderRatio));
    field(out, "lockTime", general(p.lockTime) + " min");
    field(out, "judgeWidth", std::to_string(p.judgeWidth));
    field(out, "minArea", general(p.minArea));
    field(out, "minHeight", general(p.minHeight));
    field(out, "slope", general(p.slope));
    field(out, "smoothWidth", std::to_string(p.smoothWidth));
    field(out, "stopTime", general(p.stopTime) + " min");
    field(out, "timeDoubling", general(p.timeDoubling) + " min");
    field(out, "peakWidth", std::to_string(p.peakWidth));
    field(out, "Time program",
          std::string(m.timeProgramEnabled ? "on" : "off") + ", " +
              std::to_string(m.timeProgram.size()) + " rows");
    field(out, "Manual events",
          std::string(m.useManualEvents ? "on" : "off") + ", " +
              std::to_string(m.manualEvents.size()) + " rows");
    if (!m.groups.empty()) {
        heading(out, "Groups (" + std::to_string(m.groups.size()) + ")");
        TextTable t;
        t.addColumn("No.");
        t.addColumn("From/min");
        t.addColumn("To/min");
        t.addColumn("Name", Align::Left);
        for (const GroupDefinition& g : m.groups)
            t.addRow({std::to_string(g.groupNo), fixedText(g.windowStart, 3),
                      fixedText(g.windowEnd, 3), g.groupName});
        t.print(out);
    }
    printComponents(out, m.components, "Components");
    printCurves(out, e.curves);
    printComponents(out, e.defaultComponents, "Default components");
}

}  // namespace

std::string calcMethodName(int calcMethod)
{
    static const char* const names[] = {
        "area normalisation", "corrected normalisation",       "internal standard",
        "external standard",  "exponential external standard", "oscillation method",
        "vacuum method",
    };
    if (calcMethod >= 0 && calcMethod < static_cast<int>(std::size(names)))
        return std::to_string(calcMethod) + " " + names[calcMethod];
    return std::to_string(calcMethod) + " (unknown)";
}

void printRateRecord(std::ostream& out, const TestRecordBlock& t)
{
    field(out, "Previous test", dateText(t.testTime));
    field(out, "Chromatogram 1", orNone(t.text1));
    field(out, "Chromatogram 2", orNone(t.text2));
    static const char* const gases[] = {"CH4(甲烷)", "C2H2(乙炔)",   "C2H4(乙烯)",   "C2H6(乙烷)",
                                        "H2(氢气)",  "CO(一氧化碳)", "CO2(二氧化碳)"};
    for (size_t i = 0; i < std::size(gases); ++i)
        field(out, gases[i], fixedText(t.values[i], 4) + " uL/L");
}

void printInfoSummary(std::ostream& out, const InfoDocument& doc)
{
    out << doc.path << '\n';
    if (const auto* d = std::get_if<ChromatogramData>(&doc.record))
        printChromatogram(out, doc, *d);
    else if (const auto* e = std::get_if<MethodLibraryEntry>(&doc.record))
        printMethod(out, *e);
    else if (const auto* t = std::get_if<TestRecordBlock>(&doc.record))
        printRateRecord(out, *t);
}

}  // namespace dgaws::cli
