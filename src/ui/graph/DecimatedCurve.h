#pragma once

#include "processing/SignalEnvelope.h"

class QCPGraph;

namespace dgaws {

struct ChromatogramData;

// Samples are stored in µV; the graphs draw mV.
inline constexpr double kMillivolt = 0.001;

// One chromatogram drawn on a graph in minutes and mV without handing the graph every
// sample: before each redraw the graph gets the samples in view, or, when they outnumber
// the pixel columns, the lowest and highest sample of each column. So a redraw costs the
// width of the window, not the length of the chromatogram, and a day-long file holds no
// copy of itself in the graph.
class DecimatedCurve {
public:
    explicit DecimatedCurve(QCPGraph* graph);

    // Draws `data`'s first `count` samples; none for a null source. The source must stay
    // alive until the next setSource.
    void setSource(const ChromatogramData* data, int count);
    // More samples of the same source (a run delivering points); fewer starts over.
    void extend(int count);
    int count() const { return envelope_.count(); }

    // Refills the graph for its axis' range and width; nothing when neither nor the samples
    // changed since the last refill.
    void refresh();
    // Whether the last refill drew extremes per column rather than the samples themselves.
    bool decimated() const { return decimated_; }

private:
    void fill(double lower, double upper, int columns);

    QCPGraph* graph_;
    const ChromatogramData* data_ = nullptr;
    SignalEnvelope envelope_;
    bool stale_ = true;
    double lower_ = 0.0;
    double upper_ = 0.0;
    int columns_ = 0;
    bool decimated_ = false;
};

}  // namespace dgaws
