#include "SignalCorrection.h"

#include "BaselineDrift.h"
#include "DisplayRange.h"
#include "SignalView.h"

#include <cstddef>

namespace dgaws {

void SignalCorrection::takeBackup(const ChromatogramData& data)
{
    if (baselineSubtracted_)
        return;
    backup_ = std::make_shared<const std::vector<float>>(data.signal.values());
    baselineSubtracted_ = true;
}

const std::vector<float>& SignalCorrection::backup() const
{
    static const std::vector<float> none;
    return backup_ ? *backup_ : none;
}

void SignalCorrection::forget()
{
    backup_.reset();
    baselineSubtracted_ = false;
}

void SignalCorrection::subtract(ChromatogramData& data, const std::vector<float>& amount)
{
    float* s = data.signal.data();
    const size_t n = static_cast<size_t>(data.signal.count());
    for (size_t i = 0; i < n && i < amount.size(); ++i)
        s[i] -= amount[i];
    // A peak point outside the signal has no drift to lose.
    const auto at = [&](int i) {
        return i >= 0 && static_cast<size_t>(i) < n && static_cast<size_t>(i) < amount.size()
            ? amount[static_cast<size_t>(i)]
            : 0.0f;
    };
    for (PeakRecord& p : data.peaks) {
        p.startValue -= at(p.startIndex);
        p.apexValue -= at(p.apexIndex);
        p.endValue -= at(p.endIndex);
        p.baselineStartValue -= at(p.baselineStartIndex);
        p.baselineEndValue -= at(p.baselineEndIndex);
    }
}

SignalCorrection::Result SignalCorrection::subtractOwnDrift(ChromatogramData& data)
{
    takeBackup(data);
    if (data.peaks.empty())
        return Result::BackupOnly;
    subtract(data, BaselineDrift::of(data.peaks, data.signal));
    data.scanExtrema(-2500000.0f, 2500000.0f);
    DisplayRange::fitted(data).applyTo(data.method);
    return Result::Subtracted;
}

SignalCorrection::Result SignalCorrection::subtractBaseline(ChromatogramData& data,
                                                            const SignalBuffer& baseline)
{
    if (baseline.count() < data.signal.count())
        return Result::BaselineTooShort;
    takeBackup(data);
    // A baseline sample stored as NaN or infinite takes nothing off.
    std::vector<float> amount(static_cast<size_t>(data.signal.count()));
    for (size_t i = 0; i < amount.size(); ++i)
        amount[i] = SignalView::finite(baseline.data()[i]);
    subtract(data, amount);
    data.scanExtrema(-25000000.0f, 25000000.0f);
    DisplayRange::fitted(data).applyTo(data.method);
    return Result::Subtracted;
}

SignalCorrection::Result SignalCorrection::restore(ChromatogramData& data)
{
    if (!baselineSubtracted_)
        return Result::NothingToRestore;
    data.signal.assign(backup());
    forget();
    data.scanExtrema(-2500000.0f, 2500000.0f);
    DisplayRange::fitted(data).applyTo(data.method);
    return Result::Restored;
}

}  // namespace dgaws
