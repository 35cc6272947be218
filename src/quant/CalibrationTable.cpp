#include "CalibrationTable.h"

#include "GasSet.h"

#include <cstddef>
#include <string>
#include <utility>

namespace dgaws {
namespace {

template <class F> void forEachRun(CalibrationCurve& curve, F f)
{
    for (StandardLevel& level : curve.levels)
        for (StandardRun& run : level.runs)
            f(run);
}

// Runs of older or damaged files can hold fewer responses than there are components; they
// are brought up to the table before responses are moved around in them.
void padResponses(StandardRun& run, size_t count)
{
    if (run.responses.size() < count)
        run.responses.resize(count);
}

bool validLevel(const CalibrationCurve& curve, int level)
{
    return level >= 0 && level < static_cast<int>(curve.levels.size());
}

}  // namespace

int insertComponent(CalibrationCurve& curve, ComponentEntry entry)
{
    const size_t before = curve.components.size();
    const size_t columns = before == 0 ? 1 : curve.components.front().concentrations.size();
    entry.concentrations.resize(columns, 0.0);
    const int at = addComponent(curve.components, std::move(entry));
    forEachRun(curve, [&](StandardRun& run) {
        padResponses(run, before);
        run.responses.insert(run.responses.begin() + at, ComponentResponse{});
    });
    if (curve.levels.size() < columns)
        curve.levels.resize(columns);
    curve.baseComponentIndex = referenceAfterInsert(curve.baseComponentIndex, at);
    return at;
}

void insertGasSet(CalibrationCurve& curve)
{
    for (std::string_view name : GasSet::names) {
        // A gas the table has already keeps its entry; a second one of its name would never
        // be identified or quantified.
        if (componentNamed(curve.components, std::string(name)) >= 0)
            continue;
        ComponentEntry e;
        e.name = std::string(name);
        insertComponent(curve, std::move(e));
    }
}

bool deleteComponent(CalibrationCurve& curve, int position)
{
    if (!validComponentIndex(curve.components, position))
        return false;
    const size_t before = curve.components.size();
    removeComponent(curve.components, position);
    forEachRun(curve, [&](StandardRun& run) {
        padResponses(run, before);
        run.responses.erase(run.responses.begin() + position);
    });
    curve.baseComponentIndex = referenceAfterRemove(curve.baseComponentIndex, position);
    return true;
}

bool deleteComponentNamed(CalibrationCurve& curve, const std::string& name)
{
    return deleteComponent(curve, componentNamed(curve.components, name));
}

int clearUnknownComponents(CalibrationCurve& curve)
{
    int removed = 0;
    for (int i = static_cast<int>(curve.components.size()); i-- > 0;) {
        if (curve.components[static_cast<size_t>(i)].name.find("未知") != std::string::npos) {
            deleteComponent(curve, i);
            ++removed;
        }
    }
    return removed;
}

int moveComponent(CalibrationCurve& curve, int position, double retentionTime)
{
    if (!validComponentIndex(curve.components, position))
        return -1;
    const size_t count = curve.components.size();
    ComponentEntry moved = curve.components[static_cast<size_t>(position)];
    moved.retentionTime = retentionTime;
    const int to = replaceComponent(curve.components, position, std::move(moved));
    forEachRun(curve, [&](StandardRun& run) {
        padResponses(run, count);
        const ComponentResponse r = run.responses[static_cast<size_t>(position)];
        run.responses.erase(run.responses.begin() + position);
        run.responses.insert(run.responses.begin() + to, r);
    });
    curve.baseComponentIndex = referenceAfterReplace(curve.baseComponentIndex, position, to);
    return to;
}

void appendConcentration(CalibrationCurve& curve)
{
    for (ComponentEntry& c : curve.components)
        c.concentrations.push_back(0.0);
    curve.levels.emplace_back();
}

bool deleteConcentration(CalibrationCurve& curve, int level)
{
    if (!validLevel(curve, level))
        return false;
    for (ComponentEntry& c : curve.components)
        if (level < static_cast<int>(c.concentrations.size()))
            c.concentrations.erase(c.concentrations.begin() + level);
    curve.levels.erase(curve.levels.begin() + level);
    return true;
}

bool setConcentration(CalibrationCurve& curve, int position, int level, double value)
{
    if (!validComponentIndex(curve.components, position) || level < 0)
        return false;
    const size_t needed = static_cast<size_t>(level) + 1;
    for (ComponentEntry& c : curve.components)
        if (c.concentrations.size() < needed)
            c.concentrations.resize(needed, 0.0);
    if (curve.levels.size() < needed)
        curve.levels.resize(needed);
    curve.components[static_cast<size_t>(position)].concentrations[static_cast<size_t>(level)] =
        value;
    return true;
}

bool deleteRun(CalibrationCurve& curve, int level, int run)
{
    if (!validLevel(curve, level))
        return false;
    auto& runs = curve.levels[static_cast<size_t>(level)].runs;
    if (run < 0 || run >= static_cast<int>(runs.size()))
        return false;
    runs.erase(runs.begin() + run);
    return true;
}

void componentsFromPeaks(CalibrationCurve& curve, const PeakTable& peaks)
{
    curve.components.clear();
    curve.levels.assign(1, StandardLevel{});
    curve.baseComponentIndex = -1;
    int unknown = 0;
    for (const PeakRecord& p : peaks) {
        ComponentEntry e;
        // Two peaks of one name (a split peak) give one entry of that name; the other is
        // unknown, as a peak without a name is.
        const bool named =
            !p.componentName.empty() && componentNamed(curve.components, p.componentName) < 0;
        e.name = named ? p.componentName : "未知组份" + std::to_string(++unknown);
        e.retentionTime = p.retentionTime;
        insertComponent(curve, std::move(e));
    }
}

StandardRun standardRunFromPeaks(const std::string& path, const PeakTable& peaks,
                                 int componentCount)
{
    StandardRun run;
    run.path = path;
    run.responses.resize(static_cast<size_t>(componentCount < 0 ? 0 : componentCount));
    for (const PeakRecord& p : peaks) {
        if (p.componentIndex < 0 || p.componentIndex >= componentCount)
            continue;
        run.responses[static_cast<size_t>(p.componentIndex)] = {p.retentionTime, p.area, p.height};
    }
    return run;
}

}  // namespace dgaws
