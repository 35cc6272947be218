#pragma once

#include "StandardRuns.h"

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodLibrary.h"

#include <functional>
#include <optional>
#include <string>

namespace dgaws {

// The parts of a chromatogram document that entering it as a standard reads and changes.
// `pathName` is read again after the document has been saved.
struct StandardDocument {
    ChromatogramData& data;
    int& libraryMethodIndex;
    int& libraryCalibrationIndex;
    const std::string& pathName;
};

// The two choices the operator makes, and the document work that lies outside this layer.
struct StandardChromatogramSteps {
    // The method and curve chooser, preset to the document's; nothing on cancel.
    std::function<std::optional<MethodChoice>(const MethodChoice& preset)> chooseMethod;
    // "选择标样点" ("选择本谱图标样号："): one of `levelCount` levels, preset to the current
    // one; nothing on cancel.
    std::function<std::optional<int>(int levelCount, int preset)> chooseLevel;
    // Peak processing with every step but quantitation.
    std::function<void()> reprocessWithoutQuantitation;
    // The document's save command (its path, or the proposed one); false when it failed and
    // has told the operator.
    std::function<bool()> saveDocument;
    std::function<void(const std::string&)> showMessage;
    MethodSaver saveMethod = saveMethodFile;
    // The setting's area divisor, for a curve of an older file (toTrueAreas).
    int oldAreaDivisor = 20;
};

enum class StandardAddStatus { Cancelled, Refused, NotStored, Failed, Added };

inline constexpr const char* kNoMethodChosen = "没有选择方法。";
inline constexpr const char* kNoCurveForStandard = "没有校正曲线，无法设置标样。";
inline constexpr const char* kCurveWithoutComponents =
    "该方法(校正曲线)没有设置组份表，请先设置组份表!";
inline constexpr const char* kCurveWithoutConcentrations =
    "该方法(校正曲线)没有设置标样浓度，请先设置标样浓度!";
inline constexpr const char* kStandardAdded = "谱图已经成功添加到校正表!";
inline constexpr const char* kSafetyCopyNotAStandard =
    "自动保存的谱图是未完成采集的安全副本，不能添加到校正表。请先将其另存为谱图文件。";

// "添加标样谱图到校正表(&A)": makes the document a standard of the chosen method and curve,
// at the chosen level, and appends its run to the curve (which is refitted and written);
// a file that already has a run at that level replaces it. A document without a path is
// saved first so that its run has a file to name. A safety copy ("自动保存") and every
// refused or failed case say why and leave the document and the library as they were.
StandardAddStatus addStandardChromatogram(StandardDocument doc, MethodLibrary& library,
                                          const StandardChromatogramSteps& steps);

}  // namespace dgaws
