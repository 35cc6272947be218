#include "ui/graph/DecimatedCurve.h"

#include "chromatogram/ChromatogramData.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace dgaws {

DecimatedCurve::DecimatedCurve(QCPGraph* graph) : graph_(graph)
{
    // The curve thins itself; the graph's own thinning would walk every point again.
    graph_->setAdaptiveSampling(false);
}

void DecimatedCurve::setSource(const ChromatogramData* data, int count)
{
    data_ = data;
    envelope_.clear();
    extend(data ? count : 0);
    stale_ = true;
    if (!data_)
        graph_->data()->clear();
}

void DecimatedCurve::extend(int count)
{
    if (!data_)
        return;
    count = std::clamp(count, 0, data_->signal.count());
    if (count == envelope_.count())
        return;
    envelope_.extend(data_->signal.data(), count);
    stale_ = true;
}

void DecimatedCurve::refresh()
{
    if (!data_)
        return;
    if (count() > data_->signal.count())  // the samples were replaced by fewer
        setSource(data_, data_->signal.count());
    const QCPRange range = graph_->keyAxis()->range();
    const int columns = std::max(1, graph_->keyAxis()->axisRect()->width());
    if (!stale_ && range.lower == lower_ && range.upper == upper_ && columns == columns_)
        return;
    fill(range.lower, range.upper, columns);
    stale_ = false;
    lower_ = range.lower;
    upper_ = range.upper;
    columns_ = columns;
}

void DecimatedCurve::fill(double lower, double upper, int columns)
{
    QVector<QCPGraphData> points;
    const int rate = data_->pointsPerSecond;
    const float* samples = data_->signal.data();
    if (count() == 0 || rate <= 0) {
        graph_->data()->set(points, true);
        decimated_ = false;
        return;
    }
    // Samples in view, with one more on each side so the line runs to the edges.
    const double perMinute = rate * 60.0;
    const auto clampIndex = [this](double i) {
        return static_cast<int64_t>(std::clamp(i, 0.0, static_cast<double>(count() - 1)));
    };
    const int64_t first = clampIndex(std::floor(lower * perMinute) - 1.0);
    const int64_t last = clampIndex(std::ceil(upper * perMinute) + 1.0);
    const int64_t inView = last - first + 1;
    decimated_ = inView > 2 * int64_t{columns};
    if (!decimated_) {
        points.reserve(static_cast<int>(inView));
        for (int64_t i = first; i <= last; ++i)
            points.append(
                QCPGraphData(data_->indexToTime(static_cast<int>(i)), samples[i] * kMillivolt));
        graph_->data()->set(points, true);
        return;
    }
    // A stroke from the lowest to the highest sample of each column, at the column's first
    // sample; a column without a finite sample leaves a gap as such a sample would.
    const double perColumn = static_cast<double>(inView) / columns;
    points.reserve(2 * columns);
    for (int c = 0; c < columns; ++c) {
        const int64_t from = first + static_cast<int64_t>(c * perColumn);
        const int64_t to =
            c + 1 == columns ? last + 1 : first + static_cast<int64_t>((c + 1) * perColumn);
        const double key = data_->indexToTime(static_cast<int>(from));
        const SignalEnvelope::Span s = envelope_.span(samples, from, to);
        if (s.empty()) {
            points.append(QCPGraphData(key, std::nan("")));
            continue;
        }
        points.append(QCPGraphData(key, s.low * kMillivolt));
        points.append(QCPGraphData(key, s.high * kMillivolt));
    }
    graph_->data()->set(points, true);
}

}  // namespace dgaws
