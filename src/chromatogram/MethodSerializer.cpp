#include "AnalysisMethod.h"
#include "CalibrationCurve.h"
#include "FieldArchive.h"

#include <algorithm>
#include <string>

// The stored forms of the method records that their field lists leave to code: the
// block's own tag and the parts of older layouts.

namespace dgaws {

void ioOwnTag(Archive& ar, FormatVersion& version, int format)
{
    if (ar.isStoring()) {
        version.reset();
        ar.ioTag(version);
        return;
    }
    FormatVersion own;
    ar.ioTag(own);  // the layout follows the file head's number
    version = FormatVersion(format);
}

// Only this order's version thresholds are known from those releases; the placement of
// the items between them is this reader's reconstruction, and every item added later
// keeps its default.
void loadOlderMethod(Archive& ar, AnalysisMethod& m, int format)
{
    m.version = FormatVersion(format);
    if (format >= Format::MethodOwnTag) {
        FormatVersion own;
        ar.ioTag(own);
    }
    ar.io(m.blockSize);
    ar.ioText(m.name);
    ioValue(ar, m.visible, format);
    ar.ioText(m.deviceNo);
    ar.ioText(m.tester);
    ar.ioText(m.serialNo);
    ar.ioText(m.sendingCompany);
    ioValue(ar, m.integration, format);
    ioValue(ar, m.timeProgramEnabled, format);
    ioValue(ar, m.timeProgram, format);
    if (format >= Format::OlderManualEvents) {
        ioValue(ar, m.useManualEvents, format);
        ioValue(ar, m.manualEvents, format);
    }
    ar.io(m.quantOption1);
    ar.io(m.quantOption2);
    ar.io(m.calcMethod);
    if (format >= Format::OlderGroups) {
        ar.io(m.impurityCalc);
        ar.io(m.groupCalc);
        ioValue(ar, m.groups, format);
    }
    ar.io(m.timeEnd);
    ar.io(m.timeStart);
    ar.io(m.levelMin);
    ar.io(m.levelMax);
    ioValue(ar, m.colors, format);
    if (format >= Format::OlderInstruments)
        ioValue(ar, m.instrumentInfo, format);
    if (format >= Format::OlderNaming) {
        ar.ioText(m.text4);
        ar.ioText(m.saveFolder);
        ar.io(m.autoName1);
        ar.io(m.autoName2);
        ioValue(ar, m.fileNaming, format);
    }
    if (format >= Format::OlderReport)
        ioValue(ar, m.report, format);
    if (format >= Format::MethodComponents)
        ioValue(ar, m.components, format);
}

void loadUnmarkedConcentrations(Archive& ar, ComponentEntry& c, int count)
{
    c.groupParentIndex = -1;
    if (count < 0 || static_cast<size_t>(count) * 8 > ar.remaining())
        throw ArchiveError("impossible concentration count " + std::to_string(count));
    c.concentrations.assign(static_cast<size_t>(count), 0.0);
    for (double& v : c.concentrations)
        ar.io(v);
}

void loadUnmarkedCalibrated(Archive&, CalibrationCurve& c, int calibrated)
{
    c.calibrated = calibrated;
}

namespace {

bool hasRuns(const CalibrationCurve& c)
{
    return std::any_of(c.levels.begin(), c.levels.end(),
                       [](const StandardLevel& l) { return !l.runs.empty(); });
}

}  // namespace

// A curve without runs holds no areas to tell apart; it keeps the mark every reader knows,
// so files of such curves stay as they were.
int calibrationCurveMark(const CalibrationCurve* c)
{
    if (c == nullptr)
        return CalibrationCurve::kTrueAreaMark;
    return c->trueAreas && hasRuns(*c) ? CalibrationCurve::kTrueAreaMark
                                       : CalibrationCurve::kFormatMark;
}

// The levels are read before the mark.
void loadAreaUnit(Archive& ar, CalibrationCurve& c, int mark)
{
    if (!ar.isStoring())
        c.trueAreas = mark >= CalibrationCurve::kTrueAreaMark || !hasRuns(c);
}

}  // namespace dgaws
