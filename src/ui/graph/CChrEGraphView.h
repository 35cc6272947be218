#pragma once

#include <qcustomplot.h>

#include <QTimer>

#include <memory>
#include <vector>

namespace dgaws {

class CChrEDoc;
class DecimatedCurve;
struct PeakRecord;

// The chromatogram graph of a window: the trace in minutes and mV with the method's display
// range and colours, the background chromatogram, baselines, peak marks and labels, the
// selected peak, the components' time-window bands and the ignition indicator. During a run
// points join the trace as they arrive and the graph redraws at a steady frame rate, so
// drawing never holds up acquisition however fast the points come. The chromatograms are
// thinned to the extremes of each pixel column when they hold more samples than the plot
// has columns, so a day-long file opens and scrolls as quickly as a short one.
class CChrEGraphView : public QCustomPlot {
    Q_OBJECT
public:
    static constexpr int kFrameIntervalMs = 100;
    static constexpr const char* kIgnitionText = "已经点火成功";

    explicit CChrEGraphView(QWidget* parent = nullptr);
    ~CChrEGraphView() override;

    void setDocument(const CChrEDoc* doc);
    const CChrEDoc* document() const { return doc_; }

    // Everything again from the document, and the method's range.
    void rebuild();
    // The samples acquired since the last call join the trace; drawn with the next frame.
    void appendAcquired();
    // Peaks, baselines, labels and the selected peak from the document's table.
    void refreshPeaks();
    // Back to the method's display range.
    void resetRange();
    void setIgnition(bool lit);
    // A point the detector reached during a run (start, apex, valley or end of a peak), marked
    // at once, before the peak is complete; the marks go with the next rebuild.
    void addLiveMark(int sample);
    int liveMarkCount() const;
    // A range of the operator's choosing (the noise close-up); it stays until the range is
    // reset.
    void showRange(double timeStart, double timeEnd, double levelMin, double levelMax);
    // The linked chromatogram of the other channel drawn with the trace, in a colour of its
    // own; shown unless switched off.
    static constexpr QRgb kLinkedColor = 0x00a000;
    void setLinkedShown(bool on);
    bool linkedShown() const { return linkedShown_; }
    int linkedSamples() const;
    // The auxiliary lines (the grid) of the setting LineInPic.
    void setAuxiliaryLines(bool on);
    bool auxiliaryLines() const;
    bool ignitionShown() const;

    // What is drawn, for the window's tests and the benchmark: the samples each curve holds,
    // whether the trace was last drawn as per-column extremes.
    int traceSamples() const;
    bool traceDecimated() const;
    int backgroundSamples() const;
    int selectedSamples() const;
    int baselineCount() const { return static_cast<int>(baselines_.size()); }
    int labelCount() const { return static_cast<int>(labels_.size()); }
    int markCount() const;
    int bandCount() const { return static_cast<int>(bands_.size()); }
    QStringList labelTexts() const;
    bool framePending() const { return framePending_; }
    // Draws a pending frame now, as the frame timer would.
    void drawFrame();

    // While an editing mode is active the left button's clicks and drags belong to it: the
    // graph neither pans nor zooms on them and reports the sample under the release.
    void setEditing(bool on);
    bool editing() const { return editing_; }
    // The sample nearest to a pixel column of the plot.
    int sampleAtPixel(double x) const;

    // The samples of a document that hold data: the acquired ones during a run.
    static int validSamples(const CChrEDoc& doc);
    // The label of a peak for the low byte of its display flags; one line per chosen item.
    static QString peakLabel(const CChrEDoc& doc, int peakIndex);
    static QString peakLabel(const PeakRecord& peak);

signals:
    // A click on the graph inside a peak (its table position).
    void peakClicked(int peakIndex);
    // A click, or the end of a drag, in an editing mode (the sample under the release).
    void editClicked(int sample);
    // A click on the time scale below the plot, at that time in minutes.
    void timeAxisClicked(double minutes);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void applyColors();
    void rebuildBackground();
    void rebuildLinked();
    void rebuildBands();
    void clearItems(std::vector<QCPAbstractItem*>& items);
    void scheduleFrame();
    void followRun(double minutes);
    double minutesOf(int index) const;

    const CChrEDoc* doc_ = nullptr;
    QCPGraph* background_ = nullptr;
    QCPGraph* linked_ = nullptr;
    bool linkedShown_ = true;
    QCPGraph* trace_ = nullptr;
    std::unique_ptr<DecimatedCurve> traceCurve_;
    std::unique_ptr<DecimatedCurve> backgroundCurve_;
    std::unique_ptr<DecimatedCurve> linkedCurve_;
    QCPGraph* selected_ = nullptr;
    QCPGraph* marks_ = nullptr;
    QCPGraph* liveMarks_ = nullptr;
    QCPItemText* ignition_ = nullptr;
    std::vector<QCPAbstractItem*> baselines_;
    std::vector<QCPAbstractItem*> labels_;
    std::vector<QCPAbstractItem*> bands_;
    int shown_ = 0;
    bool framePending_ = false;
    bool userRange_ = false;
    bool settingRange_ = false;
    QPoint pressPos_;
    bool editing_ = false;
    // Follows the mouse during an editing drag, so the operator sees where the point goes.
    QCPItemStraightLine* dragLine_ = nullptr;
    QTimer frameTimer_;
};

}  // namespace dgaws
