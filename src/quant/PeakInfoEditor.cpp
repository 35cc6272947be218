#include "PeakInfoEditor.h"

#include "CalibrationTable.h"
#include "Identification.h"
#include "NumberText.h"

#include "chromatogram/TextFormat.h"

#include <exception>
#include <utility>

namespace dgaws {
namespace {

constexpr int kIdentifyAndQuantify = 0x30;
constexpr int kQuantifyOnly = 0x20;

const PeakRecord& noPeak()
{
    static const PeakRecord none;
    return none;
}

}  // namespace

PeakInfoEditor::PeakInfoEditor(PeakInfoContext context, int peakIndex)
    : ctx_(std::move(context)), peakIndex_(peakIndex)
{
    if (!validPeak())
        return;
    selected_ = identified() ? peak().componentIndex : static_cast<int>(table().size());
}

bool PeakInfoEditor::validPeak() const
{
    return ctx_.data != nullptr && peakIndex_ >= 0 && peakIndex_ < ctx_.data->peaks.size();
}

const PeakRecord& PeakInfoEditor::peak() const
{
    return validPeak() ? ctx_.data->peaks[peakIndex_] : noPeak();
}

PeakRecord& PeakInfoEditor::mutablePeak()
{
    return ctx_.data->peaks[peakIndex_];
}

ComponentTable& PeakInfoEditor::ownTable()
{
    return ctx_.data->method.components;
}

CalibrationCurve* PeakInfoEditor::linkedCurve() const
{
    return dgaws::linkedCurve(ctx_.libraryMethod, ctx_.curveIndex);
}

bool PeakInfoEditor::linked() const
{
    return linkedCurve() != nullptr;
}

const ComponentTable& PeakInfoEditor::table() const
{
    static const ComponentTable empty;
    if (ctx_.data == nullptr)
        return empty;
    return componentTableFor(*ctx_.data, linkedCurve());
}

bool PeakInfoEditor::identified() const
{
    return validPeak() && identifiedAs(peak(), table());
}

PeakInfoFields PeakInfoEditor::fields() const
{
    PeakInfoFields f;
    if (!validPeak())
        return f;
    const PeakRecord& p = peak();
    const ChromatogramData& d = *ctx_.data;
    f.number = std::to_string(p.number);
    f.retentionTime = numberText("%1.3f", p.retentionTime);
    f.areaPercent = p.excluded != 0 ? "(Unused Peak)" : numberText("%1.4f", p.areaPercent);
    f.startTime = numberText("%1.3f", d.indexToTime(p.startIndex));
    f.endTime = numberText("%1.3f", d.indexToTime(p.endIndex));
    f.apexTime = numberText("%1.3f", d.indexToTime(p.apexIndex));
    f.height = numberText("%1.1f", p.height);
    f.area = numberText("%1.1f", p.area);
    f.type = peakTypeName(peakTypeCode(p.typeFlags));
    f.halfWidth = numberText("%1.3f", p.halfWidth);
    f.tailingFactor = numberText("%1.3f", p.tailingFactor);
    f.resolution = numberText("%1.3f", p.resolution);
    f.plates = numberText("%1.0f", p.plates);
    return f;
}

std::vector<std::string> PeakInfoEditor::componentChoices() const
{
    std::vector<std::string> names;
    for (const ComponentEntry& e : table())
        names.push_back(e.name);
    names.emplace_back(kUnknownChoice);
    return names;
}

int PeakInfoEditor::shownComponentNumber() const
{
    const ComponentTable& t = table();
    return validComponentIndex(t, selected_) ? t[static_cast<size_t>(selected_)].index : 0;
}

double PeakInfoEditor::shownTimeWindow() const
{
    const ComponentTable& t = table();
    return validComponentIndex(t, selected_) ? t[static_cast<size_t>(selected_)].timeWindow
                                             : ComponentEntry{}.timeWindow;
}

std::string PeakInfoEditor::choose(int choice, double retentionTime)
{
    const ComponentTable& t = table();
    const int unknown = static_cast<int>(t.size());
    if (choice < 0 || choice > unknown) {
        selected_ = -1;
        return {};
    }
    // "未知组份" is no entry of the table and has no place in its order.
    for (int i = 0; i < choice && choice < unknown; ++i) {
        if (retentionTime < t[static_cast<size_t>(i)].retentionTime) {
            selected_ = -1;
            return kOutOfOrder;
        }
    }
    selected_ = choice;
    addNew_ = choice == unknown;
    return {};
}

bool PeakInfoEditor::changeLibrary(const std::function<void(MethodLibraryEntry&)>& change,
                                   std::string& error)
{
    if (ctx_.libraryMethod == nullptr)
        return true;
    MethodLibraryEntry changed = *ctx_.libraryMethod;
    change(changed);
    try {
        if (ctx_.save)
            ctx_.save(changed);
    } catch (const std::exception& e) {
        error = "方法文件" + changed.path + "保存失败：" + e.what();
        return false;
    }
    *ctx_.libraryMethod = std::move(changed);
    // The document keeps a copy of its curve's table; it follows the library's.
    if (const CalibrationCurve* curve = linkedCurve())
        ownTable() = curve->components;
    return true;
}

// Each change writes the library first and changes the document only once that worked: a
// failed write leaves both as they were, and the caller evaluates nothing.
PeakInfoResult PeakInfoEditor::deleteComponent(const AskYesNo& ask)
{
    PeakInfoResult result;
    if (!identified())
        return result;
    const int position = peak().componentIndex;
    const std::string name = table()[static_cast<size_t>(position)].name;
    if (!ask || !ask(formatText(kConfirmDelete, name)))
        return result;
    const bool own = !linked();
    const bool saved = changeLibrary(
        [&](MethodLibraryEntry& m) {
            if (own)
                removeComponent(m.method.components, componentNamed(m.method.components, name));
            else
                dgaws::deleteComponent(m.curves[static_cast<size_t>(ctx_.curveIndex)], position);
        },
        result.saveError);
    if (!saved)
        return result;
    if (own)
        removeComponent(ownTable(), position);
    result.evaluateMask = kIdentifyAndQuantify;
    return result;
}

PeakInfoResult PeakInfoEditor::addComponent(const std::string& name, double retentionTime,
                                            double timeWindow)
{
    PeakInfoResult result;
    // Identification, quantitation and the curves know a component by its name.
    if (componentNamed(table(), name) >= 0)
        return {kDuplicateComponent, 0, {}};
    ComponentEntry entry;
    entry.name = name;
    entry.retentionTime = retentionTime;
    entry.timeWindow = timeWindow;
    const bool own = !linked();
    const bool saved = changeLibrary(
        [&](MethodLibraryEntry& m) {
            if (CalibrationCurve* curve = dgaws::linkedCurve(&m, ctx_.curveIndex))
                insertComponent(*curve, entry);
            else if (componentNamed(m.method.components, name) < 0)
                dgaws::addComponent(m.method.components, entry);
        },
        result.saveError);
    if (!saved)
        return result;
    if (own)
        dgaws::addComponent(ownTable(), entry);
    result.evaluateMask = kIdentifyAndQuantify;
    return result;
}

PeakInfoResult PeakInfoEditor::accept(const std::string& name, double retentionTime,
                                      double timeWindow, RetentionTimePrompt& prompt,
                                      const AskYesNo& ask, const AskUpdateRTime& askUpdate)
{
    if (!validPeak())
        return {};
    if (name.empty())
        return deleteComponent(ask);
    if (addNew_)
        return addComponent(name, retentionTime, timeWindow);

    int position = peak().componentIndex;
    const bool wasIdentified = identified();
    if (!wasIdentified) {
        if (name == kUnknownChoice)
            return {kNotInTable, 0, {}};
        position = componentNamed(table(), name);
        if (position < 0)
            return {kTickAddNew, 0, {}};
    }
    // The peak takes the component once the library has what it needs.
    const std::string chosen = table()[static_cast<size_t>(position)].name;
    const auto assign = [&] {
        if (wasIdentified)
            return;
        mutablePeak().componentIndex = position;
        mutablePeak().componentName = chosen;
    };

    if (prompt.ShowUpdateRTimeDlg != 0 && askUpdate) {
        const UpdateRTimeAnswer answer = askUpdate();
        prompt.LastUpdateRTime = answer.change ? 1 : 0;
        if (answer.remember)
            prompt.ShowUpdateRTimeDlg = 0;
    }
    const bool change = prompt.LastUpdateRTime == 1;
    PeakInfoResult result;

    if (linked()) {
        const bool saved = changeLibrary(
            [&](MethodLibraryEntry& m) {
                ComponentEntry& e = m.curves[static_cast<size_t>(ctx_.curveIndex)]
                                        .components[static_cast<size_t>(position)];
                e.timeWindow = timeWindow;
                if (change)
                    e.retentionTime = retentionTime;
            },
            result.saveError);
        if (!saved)
            return result;
        assign();
        // Without a re-identification the hand-made assignment stays.
        result.evaluateMask = change ? kIdentifyAndQuantify : kQuantifyOnly;
        return result;
    }

    const std::string componentName = ownTable()[static_cast<size_t>(position)].name;
    if (change) {
        ComponentEntry e = ownTable()[static_cast<size_t>(position)];
        e.retentionTime = retentionTime;
        e.timeWindow = timeWindow;
        const bool saved = changeLibrary(
            [&](MethodLibraryEntry& m) {
                const int at = componentNamed(m.method.components, componentName);
                if (at >= 0) {
                    ComponentEntry copy = m.method.components[static_cast<size_t>(at)];
                    copy.retentionTime = retentionTime;
                    copy.timeWindow = timeWindow;
                    replaceComponent(m.method.components, at, std::move(copy));
                }
            },
            result.saveError);
        if (!saved)
            return result;
        assign();
        replaceComponent(ownTable(), position, e);
        result.evaluateMask = kIdentifyAndQuantify;
        return result;
    }

    assign();

    // The table stays; the component moves from the first peak that carried it to this one.
    for (PeakRecord& p : ctx_.data->peaks) {
        if (p.componentName == componentName) {
            p.componentName.clear();
            p.componentIndex = -1;
            break;
        }
    }
    mutablePeak().componentIndex = position;
    mutablePeak().componentName = componentName;
    // Contents follow the new assignment; identification must not run, or it would undo it.
    result.evaluateMask = kQuantifyOnly;
    return result;
}

}  // namespace dgaws
