#include "ui/graph/CChrEGraphView.h"

#include "ui/common/QtText.h"
#include "ui/graph/DecimatedCurve.h"

#include "app/CChrEDoc.h"
#include "app/PeakEditSession.h"
#include "chromatogram/PeakRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dgaws {

namespace {

// A short upright stroke centred on the point: the classic start, apex and end mark.
QCPScatterStyle tickStyle(const QColor& color)
{
    QPainterPath path;
    path.moveTo(0, -6);
    path.lineTo(0, 6);
    QCPScatterStyle style(path, QPen(color, 1.5), Qt::NoBrush, 12);
    return style;
}

}  // namespace

CChrEGraphView::CChrEGraphView(QWidget* parent) : QCustomPlot(parent)
{
    setNoAntialiasingOnDrag(true);
    setInteractions(QCP::iRangeZoom | QCP::iRangeDrag);
    setSelectionRectMode(QCP::srmZoom);
    xAxis->setLabel(QStringLiteral("时间(分)"));
    yAxis->setLabel(QStringLiteral("信号(mV)"));

    // Drawing order: bands (items on the grid layer) under the background under the trace.
    background_ = addGraph();
    trace_ = addGraph();
    selected_ = addGraph();
    marks_ = addGraph();
    marks_->setLineStyle(QCPGraph::lsNone);
    liveMarks_ = addGraph();
    liveMarks_->setLineStyle(QCPGraph::lsNone);
    // Last, so the graphs the rest of the window knows by position keep theirs.
    linked_ = addGraph();
    linked_->setPen(QPen(QColor::fromRgb(kLinkedColor)));
    traceCurve_ = std::make_unique<DecimatedCurve>(trace_);
    backgroundCurve_ = std::make_unique<DecimatedCurve>(background_);
    linkedCurve_ = std::make_unique<DecimatedCurve>(linked_);
    // After the layout the plot's width is known and before the drawing the curves still
    // have time to fit themselves to it; also before pictures and printing.
    connect(this, &QCustomPlot::afterLayout, this, [this] {
        for (DecimatedCurve* c : {traceCurve_.get(), backgroundCurve_.get(), linkedCurve_.get()})
            c->refresh();
    });

    ignition_ = new QCPItemText(this);
    ignition_->position->setType(QCPItemPosition::ptAxisRectRatio);
    ignition_->position->setCoords(0.99, 0.02);
    ignition_->setPositionAlignment(Qt::AlignRight | Qt::AlignTop);
    ignition_->setText(QString::fromUtf8(kIgnitionText));
    ignition_->setColor(Qt::red);
    QFont bold = font();
    bold.setBold(true);
    ignition_->setFont(bold);
    ignition_->setVisible(false);
    setAuxiliaryLines(false);

    dragLine_ = new QCPItemStraightLine(this);
    dragLine_->setPen(QPen(Qt::red, 1.0, Qt::DashLine));
    dragLine_->setVisible(false);

    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
        if (!settingRange_)
            userRange_ = true;
    });
    frameTimer_.setInterval(kFrameIntervalMs);
    connect(&frameTimer_, &QTimer::timeout, this, &CChrEGraphView::drawFrame);
}

CChrEGraphView::~CChrEGraphView() = default;

void CChrEGraphView::setDocument(const CChrEDoc* doc)
{
    doc_ = doc;
    rebuild();
}

int CChrEGraphView::validSamples(const CChrEDoc& doc)
{
    // A run's signal is sized for the whole run time at its start; only the acquired part
    // holds data until the stop cuts it.
    const int count = doc.data.signal.count();
    return doc.acquiring() ? std::clamp(doc.acquiredCount, 0, count) : count;
}

double CChrEGraphView::minutesOf(int index) const
{
    return doc_ ? doc_->data.indexToTime(index) : 0.0;
}

void CChrEGraphView::applyColors()
{
    const DisplayColors& c = doc_->data.method.colors;
    const QColor ruler = toQColor(c.rulerColor);
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setBasePen(QPen(ruler));
        axis->setTickPen(QPen(ruler));
        axis->setSubTickPen(QPen(ruler));
        axis->setTickLabelColor(ruler);
        axis->setLabelColor(ruler);
    }
    setBackground(toQColor(c.rulerBackColor));
    axisRect()->setBackground(toQColor(c.backgroundColor));
    trace_->setPen(QPen(toQColor(c.traceColor), 1.0));
    selected_->setPen(QPen(toQColor(c.selectedPeakColor), 2.0));
    marks_->setScatterStyle(tickStyle(toQColor(c.peakMarkColor)));
    liveMarks_->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCircle, toQColor(c.peakMarkColor), 5));
}

void CChrEGraphView::rebuild()
{
    frameTimer_.stop();
    framePending_ = false;
    traceCurve_->setSource(nullptr, 0);
    liveMarks_->data()->clear();
    shown_ = 0;
    if (!doc_) {
        backgroundCurve_->setSource(nullptr, 0);
        linkedCurve_->setSource(nullptr, 0);
        selected_->data()->clear();
        marks_->data()->clear();
        clearItems(baselines_);
        clearItems(labels_);
        clearItems(bands_);
        replot();
        return;
    }
    applyColors();
    const int n = validSamples(*doc_);
    traceCurve_->setSource(&doc_->data, n);
    shown_ = n;
    rebuildBackground();
    rebuildLinked();
    rebuildBands();
    refreshPeaks();
    resetRange();
    replot();
}

void CChrEGraphView::appendAcquired()
{
    if (!doc_)
        return;
    const int n = validSamples(*doc_);
    if (n < shown_) {  // the run started over
        rebuild();
        return;
    }
    if (n == shown_)
        return;
    traceCurve_->extend(n);
    shown_ = n;
    followRun(minutesOf(n));
    scheduleFrame();
}

void CChrEGraphView::followRun(double minutes)
{
    // A run that goes on past the method's range keeps its newest point in sight, unless the
    // operator has zoomed or panned to look at something.
    if (userRange_ || minutes <= xAxis->range().upper)
        return;
    settingRange_ = true;
    xAxis->setRangeUpper(minutes);
    settingRange_ = false;
}

void CChrEGraphView::scheduleFrame()
{
    framePending_ = true;
    if (!frameTimer_.isActive())
        frameTimer_.start();
}

void CChrEGraphView::drawFrame()
{
    if (!framePending_) {
        frameTimer_.stop();
        return;
    }
    framePending_ = false;
    replot();
}

void CChrEGraphView::rebuildBackground()
{
    if (!doc_ || doc_->showBackground == 0) {
        backgroundCurve_->setSource(nullptr, 0);
        return;
    }
    const ChromatogramData& bg = doc_->backgroundData;
    backgroundCurve_->setSource(&bg, bg.signal.count());
    background_->setPen(QPen(toQColor(bg.colors.traceColor)));
}

void CChrEGraphView::rebuildLinked()
{
    if (!doc_ || !linkedShown_) {
        linkedCurve_->setSource(nullptr, 0);
        return;
    }
    linkedCurve_->setSource(&doc_->linkedData, doc_->linkedData.signal.count());
}

void CChrEGraphView::setLinkedShown(bool on)
{
    linkedShown_ = on;
    rebuildLinked();
    replot();
}

int CChrEGraphView::linkedSamples() const
{
    return linkedCurve_->count();
}

void CChrEGraphView::showRange(double timeStart, double timeEnd, double levelMin, double levelMax)
{
    settingRange_ = true;
    xAxis->setRange(timeStart, timeEnd);
    yAxis->setRange(levelMin, levelMax);
    settingRange_ = false;
    userRange_ = true;
    scheduleFrame();
}

void CChrEGraphView::rebuildBands()
{
    clearItems(bands_);
    if (!doc_)
        return;
    // The windows identification uses: the linked calibration's, else the method's own.
    const CalibrationCurve* curve = doc_->calibrationCurve();
    const auto& components = curve ? curve->components : doc_->data.method.components;
    for (const ComponentEntry& component : components) {
        const double w = std::fabs(component.timeWindow);
        auto* band = new QCPItemRect(this);
        band->setLayer(QStringLiteral("grid"));
        band->topLeft->setTypeX(QCPItemPosition::ptPlotCoords);
        band->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
        band->bottomRight->setTypeX(QCPItemPosition::ptPlotCoords);
        band->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
        band->topLeft->setCoords(component.retentionTime - w, 0.0);
        band->bottomRight->setCoords(component.retentionTime + w, 1.0);
        band->setPen(Qt::NoPen);
        band->setBrush(QColor(255, 200, 0, 40));
        band->setClipToAxisRect(true);
        bands_.push_back(band);
    }
}

void CChrEGraphView::clearItems(std::vector<QCPAbstractItem*>& items)
{
    for (QCPAbstractItem* item : items)
        removeItem(item);
    items.clear();
}

QString CChrEGraphView::peakLabel(const CChrEDoc& doc, int peakIndex)
{
    return peakLabel(doc.data.peaks[peakIndex]);
}

QString CChrEGraphView::peakLabel(const PeakRecord& p)
{
    QStringList parts;
    const int flags = p.displayFlags & 0xFF;
    if (flags & PeakLabel::RetentionTime)
        parts << printfNumber("%1.3f", p.retentionTime);
    if (flags & PeakLabel::Number)
        parts << QString::number(p.number);
    if (flags & PeakLabel::ComponentName)
        parts << qs(p.componentName);
    if (flags & PeakLabel::Height)
        parts << printfNumber("%1.1f", p.height);
    if (flags & PeakLabel::Area)
        parts << printfNumber("%1.1f", p.area);
    if (flags & PeakLabel::Type)
        parts << qs(peakTypeName(peakTypeCode(p.typeFlags)));
    if (flags & PeakLabel::Percent)
        parts << printfNumber("%1.4f", p.areaPercent) + QLatin1Char('%');
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

void CChrEGraphView::addLiveMark(int sample)
{
    if (!doc_ || sample < 0 || sample >= doc_->data.signal.count())
        return;
    liveMarks_->addData(minutesOf(sample), doc_->data.signal.at(sample) * kMillivolt);
    scheduleFrame();
}

int CChrEGraphView::liveMarkCount() const
{
    return liveMarks_->dataCount();
}

void CChrEGraphView::refreshPeaks()
{
    clearItems(baselines_);
    clearItems(labels_);
    marks_->data()->clear();
    selected_->data()->clear();
    if (!doc_)
        return;
    const ChromatogramData& d = doc_->data;
    const DisplayColors& c = d.method.colors;
    const int valid = validSamples(*doc_);
    QVector<double> markKeys, markValues;
    for (int i = 0; i < d.peaks.size(); ++i) {
        const PeakRecord& p = d.peaks[i];
        auto* baseline = new QCPItemLine(this);
        baseline->start->setCoords(minutesOf(p.baselineStartIndex),
                                   p.baselineStartValue * kMillivolt);
        baseline->end->setCoords(minutesOf(p.baselineEndIndex), p.baselineEndValue * kMillivolt);
        baseline->setPen(QPen(toQColor(c.baselineColor)));
        baselines_.push_back(baseline);
        if (p.displayFlags & PeakLabel::HideMarks)
            continue;
        for (auto [index, value] :
             {std::pair{p.startIndex, p.startValue}, std::pair{p.apexIndex, p.apexValue},
              std::pair{p.endIndex, p.endValue}}) {
            markKeys << minutesOf(index);
            markValues << value * kMillivolt;
        }
        const QString text = peakLabel(*doc_, i);
        if (text.isEmpty())
            continue;
        auto* label = new QCPItemText(this);
        label->position->setCoords(minutesOf(p.apexIndex), p.apexValue * kMillivolt);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setRotation(-90);
        label->setPadding(QMargins(6, 0, 0, 0));
        label->setText(text);
        label->setColor(toQColor(c.peakInfoColor));
        label->setClipToAxisRect(true);
        labels_.push_back(label);
    }
    marks_->setData(markKeys, markValues, false);

    const int sel = doc_->selectedPeak;
    if (sel >= 0 && sel < d.peaks.size()) {
        const PeakRecord& p = d.peaks[sel];
        QVector<double> keys, values;
        for (int i = std::max(0, p.startIndex); i <= std::min(p.endIndex, valid - 1); ++i) {
            keys << minutesOf(i);
            values << d.signal.at(i) * kMillivolt;
        }
        selected_->setData(keys, values, true);
    }
    scheduleFrame();
}

void CChrEGraphView::resetRange()
{
    userRange_ = false;
    if (!doc_)
        return;
    const AnalysisMethod& m = doc_->data.method;
    settingRange_ = true;
    xAxis->setRange(m.timeStart, m.timeEnd > m.timeStart ? m.timeEnd : m.timeStart + 1.0);
    yAxis->setRange(m.levelMin, m.levelMax > m.levelMin ? m.levelMax : m.levelMin + 1.0);
    settingRange_ = false;
    scheduleFrame();
}

void CChrEGraphView::setIgnition(bool lit)
{
    if (ignition_->visible() == lit)
        return;
    ignition_->setVisible(lit);
    scheduleFrame();
}

bool CChrEGraphView::ignitionShown() const
{
    return ignition_->visible();
}

void CChrEGraphView::setAuxiliaryLines(bool on)
{
    xAxis->grid()->setVisible(on);
    yAxis->grid()->setVisible(on);
    scheduleFrame();
}

bool CChrEGraphView::auxiliaryLines() const
{
    return xAxis->grid()->visible();
}

int CChrEGraphView::traceSamples() const
{
    return traceCurve_->count();
}
bool CChrEGraphView::traceDecimated() const
{
    return traceCurve_->decimated();
}
int CChrEGraphView::backgroundSamples() const
{
    return backgroundCurve_->count();
}
int CChrEGraphView::selectedSamples() const
{
    return selected_->dataCount();
}
int CChrEGraphView::markCount() const
{
    return marks_->dataCount();
}

QStringList CChrEGraphView::labelTexts() const
{
    QStringList texts;
    for (QCPAbstractItem* item : labels_)
        texts << static_cast<QCPItemText*>(item)->text();
    return texts;
}

void CChrEGraphView::setEditing(bool on)
{
    editing_ = on;
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!on && dragLine_->visible()) {
        dragLine_->setVisible(false);
        scheduleFrame();
    }
}

int CChrEGraphView::sampleAtPixel(double x) const
{
    return doc_ ? PeakEditSession::sampleAt(doc_->data, xAxis->pixelToCoord(x)) : 0;
}

void CChrEGraphView::mousePressEvent(QMouseEvent* event)
{
    pressPos_ = event->pos();
    if (editing_) {
        // Handing the press to the plot would start its drag or zoom rectangle.
        if (event->button() == Qt::LeftButton) {
            const double x = xAxis->pixelToCoord(event->pos().x());
            dragLine_->point1->setCoords(x, 0.0);
            dragLine_->point2->setCoords(x, 1.0);
            dragLine_->setVisible(true);
            replot(QCustomPlot::rpQueuedReplot);
        }
        event->accept();
        return;
    }
    // Shift drags the graph; a plain drag draws the rubber band that zooms.
    setSelectionRectMode(event->modifiers() & Qt::ShiftModifier ? QCP::srmNone : QCP::srmZoom);
    QCustomPlot::mousePressEvent(event);
}

void CChrEGraphView::mouseMoveEvent(QMouseEvent* event)
{
    if (editing_) {
        if (dragLine_->visible()) {
            const double x = xAxis->pixelToCoord(event->pos().x());
            dragLine_->point1->setCoords(x, 0.0);
            dragLine_->point2->setCoords(x, 1.0);
            replot(QCustomPlot::rpQueuedReplot);
        }
        event->accept();
        return;
    }
    QCustomPlot::mouseMoveEvent(event);
}

void CChrEGraphView::mouseReleaseEvent(QMouseEvent* event)
{
    if (editing_) {
        event->accept();
        if (dragLine_->visible()) {
            dragLine_->setVisible(false);
            replot(QCustomPlot::rpQueuedReplot);
        }
        if (event->button() == Qt::LeftButton && doc_ && axisRect()->rect().contains(event->pos()))
            emit editClicked(sampleAtPixel(event->pos().x()));
        return;
    }
    const bool click = (event->pos() - pressPos_).manhattanLength() < 3;
    QCustomPlot::mouseReleaseEvent(event);
    const QRect plotArea = axisRect()->rect();
    if (click && event->button() == Qt::LeftButton && doc_ &&
        event->pos().y() > plotArea.bottom() && event->pos().x() >= plotArea.left() &&
        event->pos().x() <= plotArea.right()) {
        emit timeAxisClicked(xAxis->pixelToCoord(event->pos().x()));
        return;
    }
    if (click && event->button() == Qt::LeftButton && doc_ && plotArea.contains(event->pos())) {
        const int peak = doc_->data.findPeakAt(xAxis->pixelToCoord(event->pos().x()));
        if (peak >= 0)
            emit peakClicked(peak);
    }
}

void CChrEGraphView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (editing_) {
        // The second press of a quick pair is a click of the mode, not a range reset.
        mousePressEvent(event);
        return;
    }
    QCustomPlot::mouseDoubleClickEvent(event);
    resetRange();
}

}  // namespace dgaws
