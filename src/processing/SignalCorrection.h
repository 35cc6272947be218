#pragma once

#include "chromatogram/ChromatogramData.h"

#include <memory>
#include <vector>

namespace dgaws {

// Subtracting baseline drift from a chromatogram's signal, and restoring it.
//
// One backup exists at most: the first subtraction takes it and restoring consumes it, so
// a second subtraction works on the already corrected signal while restoring still returns
// to the signal from before the first. The peaks' stored values follow each subtraction;
// restoring leaves them until the next detection or evaluation.
//
// The backup is shared, never changed in place: an undo step keeps the correction as it
// stood for the price of a pointer, so undoing a restore brings the backup back.
class SignalCorrection {
public:
    static constexpr const char* kBaselineTooShort = "基线谱图长度小与当前谱图，不能处理。";

    enum class Result {
        Subtracted,
        BackupOnly,        // own drift with no peaks: only the backup was taken
        BaselineTooShort,  // nothing changed
        NothingToRestore,  // no subtraction in effect
        Restored,
    };

    bool baselineSubtracted() const { return baselineSubtracted_; }
    const std::vector<float>& backup() const;

    // "根据自身漂移扣除基线(&B)": the drift of the peak baselines comes off.
    Result subtractOwnDrift(ChromatogramData& data);
    // "根据基线谱图扣除基线(&G)": a recorded baseline chromatogram comes off, sample by sample;
    // it must be at least as long as the signal.
    Result subtractBaseline(ChromatogramData& data, const SignalBuffer& baseline);
    // "恢复被扣除基线的谱图(&R)".
    Result restore(ChromatogramData& data);

    // The document's signal was replaced by another chromatogram: the backup is not its.
    void forget();

private:
    void takeBackup(const ChromatogramData& data);
    // Subtracts `amount` from the signal and from the five stored values of every peak.
    static void subtract(ChromatogramData& data, const std::vector<float>& amount);

    bool baselineSubtracted_ = false;
    std::shared_ptr<const std::vector<float>> backup_;
};

}  // namespace dgaws
