#include "ui/exchange/CMultiDatView.h"

#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/DecimatedCurve.h"

#include "chromatogram/PeakRecord.h"
#include "processing/ComparisonEntry.h"

#include <algorithm>
#include <array>

namespace dgaws {

namespace {

// The level of sample i as drawn: mV, or % of the trace's extent between the normalised
// display's times.
struct Scale {
    double offset = 0.0;
    double factor = kMillivolt;
};

Scale normalisedScale(const ChromatogramData& d, double start, double end)
{
    const int n = d.signal.count();
    int from = std::clamp(d.timeToIndex(std::min(start, end)), 0, std::max(0, n - 1));
    int to = std::clamp(d.timeToIndex(std::max(start, end)), 0, std::max(0, n - 1));
    if (n == 0 || from > to)
        return {};
    float lo = d.signal.at(from), hi = lo;
    for (int i = from; i <= to; ++i) {
        lo = std::min(lo, d.signal.at(i));
        hi = std::max(hi, d.signal.at(i));
    }
    if (hi <= lo)
        return {-lo, 0.0};
    return {-lo, 100.0 / (hi - lo)};
}

}  // namespace

CMultiDatView::CMultiDatView(QWidget* parent) : QCustomPlot(parent)
{
    setInteractions(QCP::iRangeZoom | QCP::iRangeDrag);
    setSelectionRectMode(QCP::srmZoom);
    xAxis->setLabel(QStringLiteral("时间(分)"));
    yAxis->setLabel(QStringLiteral("信号(mV)"));
}

QColor CMultiDatView::colorOf(int index)
{
    static const std::array<QRgb, 8> palette = {0x0000c0, 0xc00000, 0x008000, 0x8000a0,
                                                0xc06000, 0x008080, 0x606060, 0xa0a000};
    return QColor::fromRgb(palette[static_cast<size_t>(index) % palette.size()]);
}

void CMultiDatView::setDistribution(Distribution d)
{
    distribution_ = d;
    rebuild();
}

void CMultiDatView::rebuild()
{
    clearGraphs();
    clearItems();
    if (!set_) {
        replot();
        return;
    }
    const bool normalised = set_->normalize != 0;
    yAxis->setLabel(normalised ? QStringLiteral("归一化(%)") : QStringLiteral("信号(mV)"));
    // The spreads step by one trace's extent, so neighbours never overlap.
    double longest = 0.0, tallest = 0.0;
    for (const ComparisonEntry& e : set_->entries) {
        longest = std::max(longest, e.data.indexToTime(e.data.signal.count()));
        tallest = std::max(tallest,
                           normalised ? 100.0 : (e.data.signalMax - e.data.signalMin) * kMillivolt);
    }
    int place = 0;
    for (size_t k = 0; k < set_->entries.size(); ++k) {
        const ComparisonEntry& e = set_->entries[k];
        if (!e.shown)
            continue;
        const Scale scale =
            normalised ? normalisedScale(e.data, set_->normStart, set_->normEnd) : Scale{};
        double dx = e.timeShift, dy = normalised ? 0.0 : e.levelShift;
        if (distribution_ == Distribution::Horizontal)
            dx += place * longest;
        else if (distribution_ == Distribution::Vertical)
            dy += place * tallest;
        ++place;
        const int n = e.data.signal.count();
        QVector<double> keys(n), values(n);
        for (int i = 0; i < n; ++i) {
            keys[i] = e.data.indexToTime(i) + dx;
            values[i] = (e.data.signal.at(i) + scale.offset) * scale.factor + dy;
        }
        QCPGraph* g = addGraph();
        g->setData(keys, values, true);
        g->setPen(QPen(colorOf(static_cast<int>(k)), 1.2));
        g->setName(QString::fromStdString(e.path));
        for (const PeakRecord& peak : e.data.peaks) {
            const QString text = CChrEGraphView::peakLabel(peak);
            // A peak the record keeps beyond its samples has nowhere to stand.
            if (text.isEmpty() || (peak.displayFlags & PeakLabel::HideMarks) != 0 ||
                peak.apexIndex < 0 || peak.apexIndex >= n)
                continue;
            auto* label = new QCPItemText(this);
            label->position->setCoords(
                e.data.indexToTime(peak.apexIndex) + dx,
                (e.data.signal.at(peak.apexIndex) + scale.offset) * scale.factor + dy);
            label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            label->setText(text);
            label->setColor(colorOf(static_cast<int>(k)));
        }
    }
    if (set_->reference >= 0 && set_->reference < static_cast<int>(set_->entries.size()) &&
        !normalised && distribution_ == Distribution::Free) {
        matchTo(set_->reference);
        return;
    }
    rescaleAxes();
    replot();
}

void CMultiDatView::matchTo(int index)
{
    if (!set_ || index < 0 || index >= static_cast<int>(set_->entries.size()))
        return;
    const ComparisonEntry& e = set_->entries[index];
    const AnalysisMethod& m = e.data.method;
    xAxis->setRange(m.timeStart + e.timeShift, m.timeEnd + e.timeShift);
    yAxis->setRange(m.levelMin + e.levelShift, m.levelMax + e.levelShift);
    replot();
}

}  // namespace dgaws
