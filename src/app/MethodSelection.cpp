#include "MethodSelection.h"

#include "CChrEDoc.h"

#include "processing/EvaluateStep.h"

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
    doc.engine.evaluate(EvaluateStep::All);
}

}  // namespace

bool MethodSelection::valid(const CChrEDoc& doc, const MethodChoice& choice)
{
    const MethodLibrary* library = doc.methodLibrary();
    if (!validMethod(library, choice.libraryMethodIndex))
        return false;
    const MethodLibraryEntry& entry = library->at(static_cast<size_t>(choice.libraryMethodIndex));
    return choice.libraryCalibrationIndex == -1 ||
        validCurve(entry, choice.libraryCalibrationIndex);
}

bool MethodSelection::use(CChrEDoc& doc, const MethodChoice& choice)
{
    if (!valid(doc, choice) || !doc.takeLibraryMethod(choice, MethodTake::Analysis))
        return false;
    reevaluate(doc);
    return true;
}

bool MethodSelection::canChoose(const CChrEDoc& doc)
{
    return !doc.acquiring();
}

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
    if (!canChoose(doc) || !valid(doc, choice) ||
        !doc.takeLibraryMethod(choice, MethodTake::Calculation))
        return false;
    reevaluate(doc);
    return true;
}

}  // namespace dgaws
