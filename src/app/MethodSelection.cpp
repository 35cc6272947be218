#include "MethodSelection.h"

#include "CChrEDoc.h"

#include "processing/EvaluateStep.h"

#include <optional>

namespace dgaws {

namespace {

bool validMethod(const MethodLibrary* library, int index)
{
    return library != nullptr && index >= 0 && static_cast<size_t>(index) < library->size();
}

bool validCurve(const MethodLibraryEntry& entry, int index)
{
    return index >= 0 && static_cast<size_t>(index) < entry.curves.size();
}

void reevaluate(CChrEDoc& doc)
{
    doc.setModifiedFlag(true);
    doc.engine.Evaluate(EvaluateStep::All);
}

}  // namespace

bool MethodSelection::valid(const CChrEDoc& doc, const MethodChoice& choice)
{
    const MethodLibrary* library = doc.methodLibrary();
    if (!validMethod(library, choice.libraryMethodIndex))
        return false;
    const MethodLibraryEntry& entry = library->at(static_cast<size_t>(choice.libraryMethodIndex));
    return choice.libraryCalibrationIndex == -1 || validCurve(entry, choice.libraryCalibrationIndex);
}

bool MethodSelection::use(CChrEDoc& doc, const MethodChoice& choice)
{
    if (!valid(doc, choice))
        return false;
    const MethodLibraryEntry& entry =
        doc.methodLibrary()->at(static_cast<size_t>(choice.libraryMethodIndex));
    useLibraryMethod(doc.data, entry);
    doc.libraryMethodIndex = choice.libraryMethodIndex;
    doc.libraryCalibrationIndex = choice.libraryCalibrationIndex;
    if (choice.libraryCalibrationIndex >= 0) {
        const CalibrationCurve& curve = entry.curves[static_cast<size_t>(choice.libraryCalibrationIndex)];
        doc.data.calibrationName = curve.name;
        doc.data.method.components = curve.components;
    } else {
        doc.data.calibrationName.clear();
    }
    reevaluate(doc);
    return true;
}

bool MethodSelection::canChoose(const CChrEDoc& doc) { return doc.acquiring == 0; }

MethodChoice MethodSelection::preset(const CChrEDoc& doc)
{
    MethodChoice choice{doc.libraryMethodIndex, doc.libraryCalibrationIndex};
    if (!validMethod(doc.methodLibrary(), choice.libraryMethodIndex))
        return {};
    if (!valid(doc, choice))
        choice.libraryCalibrationIndex = -1;
    return choice;
}

bool MethodSelection::choose(CChrEDoc& doc, const MethodChoice& choice)
{
    if (!canChoose(doc) || !valid(doc, choice))
        return false;
    std::optional<size_t> curve;
    if (choice.libraryCalibrationIndex >= 0)
        curve = static_cast<size_t>(choice.libraryCalibrationIndex);
    const MethodChoice applied = doc.methodLibrary()->applyForCalculation(
        doc.data, static_cast<size_t>(choice.libraryMethodIndex), curve);
    doc.libraryMethodIndex = applied.libraryMethodIndex;
    doc.libraryCalibrationIndex = applied.libraryCalibrationIndex;
    reevaluate(doc);
    return true;
}

}  // namespace dgaws
