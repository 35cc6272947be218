#include "StandardRuns.h"

#include "CalibrationFit.h"
#include "CalibrationTable.h"
#include "Identification.h"

#include "chromatogram/ChromatogramFile.h"
#include "processing/EvaluateStep.h"
#include "processing/PeakEngine.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <utility>

namespace dgaws {

bool samePath(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        // Only ASCII letters fold; bytes of multi-byte characters compare as they are.
        if (x != y && (x >= 0x80 || y >= 0x80 || std::tolower(x) != std::tolower(y)))
            return false;
    }
    return true;
}

int runIndexForFile(const CalibrationCurve& curve, int level, const std::string& pathName)
{
    if (level < 0 || level >= static_cast<int>(curve.levels.size()))
        return -1;
    const auto& runs = curve.levels[static_cast<size_t>(level)].runs;
    for (const StandardRun& r : runs)
        if (samePath(r.path, pathName))
            return static_cast<int>(runs.size());
    return -1;
}

namespace {

bool isDraft(const std::string& path)
{
    return path.empty() || path.find(kAutoSaveMark) != std::string::npos;
}

bool hasRunToReplace(const CalibrationCurve& curve, int level, int runIndex,
                     const std::string& pathName)
{
    if (runIndex < 0 || level >= static_cast<int>(curve.levels.size()))
        return false;
    const auto& runs = curve.levels[static_cast<size_t>(level)].runs;
    if (runIndex < static_cast<int>(runs.size()))
        return samePath(runs[static_cast<size_t>(runIndex)].path, pathName);
    for (const StandardRun& r : runs)
        if (samePath(r.path, pathName))
            return true;
    return false;
}

}  // namespace

std::vector<std::string> toTrueAreas(CalibrationCurve& curve, int oldAreaDivisor)
{
    std::vector<std::string> unread;
    if (curve.trueAreas)
        return unread;
    for (StandardLevel& level : curve.levels) {
        for (StandardRun& run : level.runs) {
            int rate = 0;
            try {
                rate = readChromatogramFile(run.path).pointsPerSecond;
            } catch (const std::exception&) {
                rate = 0;
            }
            if (rate <= 0 || oldAreaDivisor <= 0) {
                unread.push_back(run.path);
                continue;
            }
            const double scale = static_cast<double>(oldAreaDivisor) / rate;
            for (ComponentResponse& r : run.responses)
                r.area *= scale;
        }
    }
    curve.trueAreas = true;
    return unread;
}

StoreResult storeStandardRun(ChromatogramData& data, const std::string& pathName,
                             MethodLibraryEntry* method, int curveIndex, int runIndex,
                             const MethodSaver& save, int oldAreaDivisor)
{
    StoreResult result;
    if (data.standardLevel < 0 || method == nullptr || curveIndex < 0 ||
        curveIndex >= static_cast<int>(method->curves.size()))
        return result;

    // Evaluation calls this after every change of a standard's peaks, live runs included;
    // nothing is copied until it is clear that something will be stored.
    if (runIndex == -1 ? isDraft(pathName)
                       : !hasRunToReplace(method->curves[static_cast<size_t>(curveIndex)],
                                          data.standardLevel, runIndex, pathName))
        return result;

    MethodLibraryEntry changed = *method;
    CalibrationCurve& curve = changed.curves[static_cast<size_t>(curveIndex)];
    toTrueAreas(curve, oldAreaDivisor);
    const auto level = static_cast<size_t>(data.standardLevel);
    if (curve.levels.size() <= level)
        curve.levels.resize(level + 1);
    std::vector<StandardRun>& runs = curve.levels[level].runs;
    StandardRun run =
        standardRunFromPeaks(pathName, data.peaks, static_cast<int>(curve.components.size()));

    if (runIndex == -1) {
        if (isDraft(pathName))
            return result;
        runs.push_back(std::move(run));
        result.status = StoreResult::Status::Appended;
        result.run = static_cast<int>(runs.size()) - 1;
    } else if (runIndex >= static_cast<int>(runs.size())) {
        for (StandardRun& r : runs) {
            if (samePath(r.path, pathName)) {
                r = run;
                result.status = StoreResult::Status::Replaced;
            }
        }
    } else if (runIndex >= 0 && samePath(runs[static_cast<size_t>(runIndex)].path, pathName)) {
        runs[static_cast<size_t>(runIndex)] = std::move(run);
        result.status = StoreResult::Status::Replaced;
    }
    if (!result.stored())
        return result;
    result.level = data.standardLevel;

    FitSettings fit = FitSettings::of(changed.method);
    fit.oldAreaDivisor = oldAreaDivisor;
    fitCorrectionFactors(curve, fit);
    try {
        if (save)
            save(changed);
    } catch (const std::exception& e) {
        return {StoreResult::Status::SaveFailed, result.level, -1,
                "方法文件" + changed.path + "保存失败：" + e.what()};
    }
    *method = std::move(changed);
    if (result.status == StoreResult::Status::Appended)
        data.standardRun = result.run;
    return result;
}

AddedRuns addStandardFiles(CalibrationCurve& curve, int level,
                           const std::vector<std::string>& files, const FitSettings& settings,
                           bool replaceSameFile)
{
    AddedRuns added;
    if (level < 0 || level >= static_cast<int>(curve.levels.size()))
        return added;
    toTrueAreas(curve, settings.oldAreaDivisor);
    std::vector<StandardRun>& runs = curve.levels[static_cast<size_t>(level)].runs;
    for (const std::string& file : files) {
        ChromatogramData standard;
        try {
            standard = readChromatogramFile(file);
        } catch (const std::exception& e) {
            added.failures.push_back({file, e.what()});
            continue;
        }
        if (standard.signal.count() > 0) {
            PeakEngine engine(standard);
            engine.evaluate(EvaluateStep::Measures);
        }
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(file, ec);
        identify(standard.peaks, curve.components);
        StandardRun run =
            standardRunFromPeaks(ec ? file : full.lexically_normal().string(), standard.peaks,
                                 static_cast<int>(curve.components.size()));
        const auto sameFile = [&run](const StandardRun& r) { return samePath(r.path, run.path); };
        const auto same =
            replaceSameFile ? std::find_if(runs.begin(), runs.end(), sameFile) : runs.end();
        if (same != runs.end()) {
            *same = std::move(run);
            ++added.replaced;
        } else {
            runs.push_back(std::move(run));
            ++added.added;
        }
    }
    fitCorrectionFactors(curve, settings);
    return added;
}

}  // namespace dgaws
