#include "StandardChromatogram.h"

namespace dgaws {

namespace {

bool isSafetyCopy(const std::string& path)
{
    return path.find(kAutoSaveMark) != std::string::npos;
}

}  // namespace

// Every refusal is decided before anything changes: the document is changed only once the
// choices are complete and the run can be entered, and is put back as it was when storing
// or saving fails.
StandardAddStatus addStandardChromatogram(StandardDocument doc, MethodLibrary& library,
                                          const StandardChromatogramSteps& steps)
{
    const auto show = [&](const std::string& text) {
        if (steps.showMessage && !text.empty())
            steps.showMessage(text);
    };
    if (isSafetyCopy(doc.pathName)) {
        show(kSafetyCopyNotAStandard);
        return StandardAddStatus::Refused;
    }
    if (!steps.chooseMethod)
        return StandardAddStatus::Cancelled;
    const auto choice = steps.chooseMethod({doc.libraryMethodIndex, doc.libraryCalibrationIndex});
    if (!choice)
        return StandardAddStatus::Cancelled;
    MethodLibraryEntry* entry = library.entryAt(choice->libraryMethodIndex);
    if (entry == nullptr) {
        show(kNoMethodChosen);
        return StandardAddStatus::Refused;
    }
    const int curveIndex = choice->libraryCalibrationIndex;
    if (curveIndex < 0 || curveIndex >= static_cast<int>(entry->curves.size())) {
        show(kNoCurveForStandard);
        return StandardAddStatus::Refused;
    }
    const CalibrationCurve& curve = entry->curves[static_cast<size_t>(curveIndex)];
    if (curve.components.empty()) {
        show(kCurveWithoutComponents);
        return StandardAddStatus::Refused;
    }
    const int levels = static_cast<int>(curve.components.front().concentrations.size());
    if (levels == 0) {
        show(kCurveWithoutConcentrations);
        return StandardAddStatus::Refused;
    }
    if (!steps.chooseLevel)
        return StandardAddStatus::Cancelled;
    const auto level = steps.chooseLevel(levels, doc.data.standardLevel);
    if (!level || *level < 0 || *level >= levels)
        return StandardAddStatus::Cancelled;

    ChromatogramData& data = doc.data;
    const ChromatogramData before = data;
    const int methodBefore = doc.libraryMethodIndex;
    const int curveBefore = doc.libraryCalibrationIndex;
    const auto putBack = [&] {
        data = before;
        doc.libraryMethodIndex = methodBefore;
        doc.libraryCalibrationIndex = curveBefore;
    };

    const AnalysisMethod& from = entry->method;
    doc.libraryMethodIndex = choice->libraryMethodIndex;
    data.methodName = from.name;
    data.method.name = from.name;
    data.method.quantOption1 = from.quantOption1;
    data.method.quantOption2 = from.quantOption2;
    data.method.calcMethod = from.calcMethod;
    data.method.impurityCalc = from.impurityCalc;
    data.method.groupCalc = from.groupCalc;
    data.method.groups = from.groups;
    data.sampleType = 1;
    doc.libraryCalibrationIndex = curveIndex;
    data.calibrationName = curve.name;
    data.method.components = curve.components;
    data.standardLevel = *level;
    if (steps.reprocessWithoutQuantitation)
        steps.reprocessWithoutQuantitation();

    // A run is known by its file: a document that has none yet gets it before its run is
    // stored, and is saved again afterwards to keep the run's index.
    if (doc.pathName.empty() && (!steps.saveDocument || !steps.saveDocument())) {
        putBack();
        return StandardAddStatus::Failed;
    }
    if (isSafetyCopy(doc.pathName)) {
        putBack();
        show(kSafetyCopyNotAStandard);
        return StandardAddStatus::Refused;
    }
    // A file entered at this level before replaces its run: one file is one measurement.
    const int run = runIndexForFile(curve, *level, doc.pathName);
    const StoreResult stored = storeStandardRun(data, doc.pathName, entry, curveIndex, run,
                                                steps.saveMethod, steps.oldAreaDivisor);
    if (stored.status == StoreResult::Status::SaveFailed) {
        putBack();
        show(stored.message);
        return StandardAddStatus::Failed;
    }
    if (!stored.stored()) {
        putBack();
        return StandardAddStatus::NotStored;
    }
    if (!steps.saveDocument || !steps.saveDocument())
        return StandardAddStatus::Failed;
    show(kStandardAdded);
    return StandardAddStatus::Added;
}

}  // namespace dgaws
