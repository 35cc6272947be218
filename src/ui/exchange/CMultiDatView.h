#pragma once

#include <qcustomplot.h>

namespace dgaws {

struct ComparisonSet;

// The graph of the multi-chromatogram window: every shown entry drawn over the others,
// moved by its time and level shifts, in a colour of its own. The traces lie freely on
// one another, or spread along the time axis or up the level axis so that each stands
// apart; the normalised display scales each trace to 0-100 % of its own extent between
// the set's start and end times.
class CMultiDatView : public QCustomPlot {
    Q_OBJECT
public:
    enum class Distribution { Free, Horizontal, Vertical };

    explicit CMultiDatView(QWidget* parent = nullptr);

    void setSet(const ComparisonSet* set) { set_ = set; }
    void setDistribution(Distribution d);
    Distribution distribution() const { return distribution_; }

    // Everything drawn again from the set; the ranges fit all traces unless matched.
    void rebuild();
    // The ranges of one entry's display, as "按所选择的谱图匹配窗口大小" asks.
    void matchTo(int index);

    int traceCount() const { return graphCount(); }
    // The colour entry `index` is drawn in.
    static QColor colorOf(int index);

private:
    const ComparisonSet* set_ = nullptr;
    Distribution distribution_ = Distribution::Free;
};

}  // namespace dgaws
