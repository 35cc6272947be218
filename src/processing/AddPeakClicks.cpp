#include "AddPeakClicks.h"

#include "EditLimits.h"

namespace dgaws {

namespace {
bool onSignal(int sampleCount, int sample)
{
    return sample >= 0 && sample < sampleCount;
}
}  // namespace

EditStatus AddPeakClicks::checkStart(const PeakTable& table, int sampleCount, int start)
{
    if (!onSignal(sampleCount, start))
        return EditStatus::OutsideSignal;
    if (EditLimits::insidePeak(table, start))
        return EditStatus::InsidePeak;
    return EditStatus::Done;
}

EditStatus AddPeakClicks::checkApex(const PeakTable& table, int sampleCount, int start, int apex)
{
    if (!onSignal(sampleCount, apex))
        return EditStatus::OutsideSignal;
    if (apex <= start)
        return EditStatus::NotAfterStart;
    if (EditLimits::peakBetween(table, start, apex))
        return EditStatus::PeakBetween;
    return EditStatus::Done;
}

EditStatus AddPeakClicks::checkEnd(const PeakTable& table, int sampleCount, int apex, int end)
{
    if (!onSignal(sampleCount, end))
        return EditStatus::OutsideSignal;
    if (end <= apex)
        return EditStatus::NotAfterApex;
    if (EditLimits::peakBetween(table, apex, end))
        return EditStatus::PeakBetween;
    return EditStatus::Done;
}

EditStatus AddPeakClicks::click(const PeakTable& table, int sampleCount, int sample)
{
    EditStatus status = EditStatus::Done;
    switch (next_) {
    case Next::Start:
        status = checkStart(table, sampleCount, sample);
        if (status == EditStatus::Done) {
            start_ = sample;
            next_ = Next::Apex;
        }
        break;
    case Next::Apex:
        status = checkApex(table, sampleCount, start_, sample);
        if (status == EditStatus::Done) {
            apex_ = sample;
            next_ = Next::End;
        }
        break;
    case Next::End:
        status = checkEnd(table, sampleCount, apex_, sample);
        if (status == EditStatus::Done) {
            end_ = sample;
            next_ = Next::Complete;
        }
        break;
    case Next::Complete: break;
    }
    return status;
}

}  // namespace dgaws
