#pragma once

#include "processing/ComparisonEntry.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The operations of the multi-chromatogram window, without widgets: combining chromatograms
// into new ones, the alignments, and the list's bookkeeping. Every combining operation
// returns a fresh record; appendResult stores it as a new .chg file and adds it to the set,
// so the sources are never changed.
namespace dgaws::comparison {

inline constexpr const char* kWindowNote = "此功能只用来处理多个谱图对比，平均谱图，多谱图打印等用"
                                           "途，单个谱图只要打开后直接使用工具栏处理即可。";
inline constexpr const char* kWindowOpenedLog = "用户启动了多谱图处理窗口";
inline constexpr const char* kAverageQuestion = "计算平均谱图吗?";
inline constexpr const char* kSaveFailed = "保存多谱图文件失败。";
inline constexpr const char* kDeleteQuestion = "删除谱图文件:\n\n%s";
inline constexpr const char* kDerivativeSuffix = "(导数).chg";
inline constexpr const char* kInversionSuffix = "(翻转).chg";

// A request the data cannot satisfy (fewer than two checked chromatograms to combine, a
// subtraction range outside the chromatograms), with the reason.
class ComparisonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// a + b with b moved right by k samples (left for negative k), over the shorter length. The
// first sample of the signal that has no partner stands in for its missing samples.
std::vector<float> shiftedSum(const std::vector<float>& a, const std::vector<float>& b,
                              long long k);
// a - b with the same shift rule.
std::vector<float> shiftedDifference(const std::vector<float>& a, const std::vector<float>& b,
                                     long long k);

// A fresh record holding a combined signal: extrema recomputed (from -2000000 and
// 2000000), the given rate, not evaluated, holding data, and the display range 0 to
// count / 600 minutes and signalMin to signalMax in mV.
ChromatogramData resultRecord(std::vector<float> samples, int pointsPerSecond);

// Indexes of the checked entries, in list order.
std::vector<int> checkedEntries(const std::vector<ComparisonEntry>& entries);

// Sum (or average) of the checked entries; ComparisonError with fewer than two, which the
// window's command checks first, since it then does nothing. The second entry is shifted
// by its time shift less the first's; every further entry likewise by its own shift less
// the first's, so all of them are placed relative to the first entry, whose time axis the
// sum keeps, and the result does not depend on where the first entry was drawn.
ChromatogramData sumOfChecked(const std::vector<ComparisonEntry>& entries, bool average);

struct DifferenceOptions {
    bool partial = false;    // "使用部分相减"
    double startTime = 0.0;  // "谱图相减起始：", minutes
    double endTime = 0.0;    // "结束："
    bool useOffset = false;  // "使用保留时间偏差"
    // "保留时间偏差：" where the subtracted chromatogram's range begins, minutes. Without
    // it the subtracted range begins at startTime, the same place as the first's.
    double offsetTime = 0.0;
};

// First checked entry less the second; ComparisonError with fewer than two, as for the sum.
// A whole subtraction shifts the second by the difference of the time shifts. A partial one
// takes end - start samples, a[s + j] - b[o + j]; a range that is empty or reaches outside
// either chromatogram is refused with ComparisonError.
ChromatogramData differenceOfChecked(const std::vector<ComparisonEntry>& entries,
                                     const DifferenceOptions& options);

// (x[i+1] - x[i]) x pointsPerSecond, the last sample repeating the one before; a single
// sample gives 0 and an empty signal an empty result.
ChromatogramData firstDerivative(const ChromatogramData& source);
ChromatogramData inverted(const ChromatogramData& source);

// Moving average over `width` samples, each mean placed at the middle of its window; the
// first width - width/2 samples stay and the last width/2 take the mean of the last window.
// A width above the sample count is cut to the count. The single chromatogram's smoothing
// command computes it (SignalSmoothing).
std::vector<float> movingAverage(const std::vector<float>& x, int width);
// The smoothing command of the window: nothing for a width of 1 or less or an empty signal.
std::optional<ChromatogramData> smoothed(const ChromatogramData& source, int width);

// signalMin in mV, or, for an evaluated chromatogram with peaks, the mean in mV of the peak
// ends that lie on the baseline (starts not in a valley, ends not in a valley).
double baseLevel(const ChromatogramData& data);

// Every checked entry gets the level shift that brings its base level to the reference's;
// nothing without a reference.
void alignBaselines(ComparisonSet& set);
// Every checked entry with a selected peak gets the time shift that brings that peak onto the
// selected peak of the current entry; nothing when the current entry has none.
void alignPeaks(ComparisonSet& set);
// "按所选择的谱图匹配窗口大小": the entry becomes the reference and is marked matched.
void matchWindowTo(ComparisonSet& set, int index);
void toggleShown(ComparisonSet& set);
// The graph's label commands for every entry.
void setPeakLabels(ComparisonSet& set, int value);

// Reads a .chg file into a new entry with its base level (FileError or ArchiveError).
ComparisonEntry loadEntry(const std::string& path);
// Appends entries for the files; files that cannot be read are left out and returned.
std::vector<std::string> addFiles(ComparisonSet& set, const std::vector<std::string>& paths);
// Stores the result as a .chg file and appends it as an entry; returns its index. On a
// failure to store (FileError), the set is left as it was.
int appendResult(ComparisonSet& set, const std::string& path, ChromatogramData result);
// Removes an entry from the window (the file stays on disk); the indexes of the current
// and reference entries follow the list, and become -1 when their entry goes.
void removeEntry(ComparisonSet& set, int index);

// The path of a source without its extension, followed by a suffix ("(导数).chg").
std::string proposedResultPath(const std::string& sourcePath, const char* suffix);

}  // namespace dgaws::comparison
