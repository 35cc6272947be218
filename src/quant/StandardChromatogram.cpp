#include "StandardChromatogram.h"

namespace dgaws {

StandardAddStatus addStandardChromatogram(StandardDocument doc, MethodLibrary& library,
                                          const StandardChromatogramSteps& steps)
{
    const auto show = [&](const std::string& text) {
        if (steps.showMessage && !text.empty())
            steps.showMessage(text);
    };
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

    ChromatogramData& data = doc.data;
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

    const int curveIndex = choice->libraryCalibrationIndex;
    if (curveIndex < 0 || curveIndex >= static_cast<int>(entry->curves.size())) {
        doc.libraryCalibrationIndex = -1;
        data.calibrationName.clear();
        data.method.components.clear();
        show(kNoCurveForStandard);
        return StandardAddStatus::Refused;
    }
    const CalibrationCurve& curve = entry->curves[static_cast<size_t>(curveIndex)];
    doc.libraryCalibrationIndex = curveIndex;
    data.calibrationName = curve.name;
    data.method.components = curve.components;
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
    const auto level = steps.chooseLevel(levels, data.standardLevel);
    if (!level || *level < 0 || *level >= levels)
        return StandardAddStatus::Cancelled;
    data.standardLevel = *level;
    if (steps.reprocessWithoutQuantitation)
        steps.reprocessWithoutQuantitation();

    // A run is known by its file: a document that has none yet gets it before its run is
    // stored, and is saved again afterwards to keep the run's index.
    if (doc.pathName.empty() && (!steps.saveDocument || !steps.saveDocument()))
        return StandardAddStatus::Failed;
    const StoreResult stored =
        storeStandardRun(data, doc.pathName, entry, curveIndex, -1, steps.saveMethod);
    if (stored.status == StoreResult::Status::SaveFailed) {
        show(stored.message);
        return StandardAddStatus::Failed;
    }
    if (!steps.saveDocument || !steps.saveDocument())
        return StandardAddStatus::Failed;
    if (!stored.stored())
        return StandardAddStatus::NotStored;
    show(kStandardAdded);
    return StandardAddStatus::Added;
}

}  // namespace dgaws
