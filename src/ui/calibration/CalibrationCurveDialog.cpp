#include "ui/calibration/CalibrationCurveDialog.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"

#include "report/CurvePicture.h"

#include "chromatogram/TextFormat.h"
#include "quant/CalibrationCheck.h"
#include "quant/NumberText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfWriter>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace dgaws {

namespace {

constexpr int kLineSamples = 100;
// The exported pictures: about an A5 page on screen, and the PDF pages at the same scale.
constexpr int kPictureWidth = 900;
constexpr int kPictureHeight = 600;

void styleAxis(QCPAxis* axis, bool logarithmic)
{
    axis->setNumberFormat(QStringLiteral("f"));
    axis->setNumberPrecision(2);
    axis->setTickLabelFont(QFont(QStringLiteral("Arial")));
    axis->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        axis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    else
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
}

// The span of values with a margin, positive on a logarithmic axis.
QCPRange spanOf(double lo, double hi, bool logarithmic)
{
    if (!(lo <= hi))
        return logarithmic ? QCPRange(0.1, 10.0) : QCPRange(0.0, 1.0);
    if (logarithmic)
        return QCPRange(lo / 1.5, hi * 1.5);
    const double margin = hi > lo ? (hi - lo) * 0.08 : std::max(std::abs(hi) * 0.1, 1.0);
    return QCPRange(lo - margin, hi + margin);
}

}  // namespace

CalibrationCurveDialog::CalibrationCurveDialog(const CalibrationTableEditor& editor, int component,
                                               OperatorPrompts& prompts, QWidget* parent)
    : QDialog(parent), editor_(editor), prompts_(prompts), component_(component)
{
    setWindowTitle(qs(kCaption));
    components_ = new QComboBox(this);
    for (const ComponentEntry& e : editor_.curve().components)
        components_->addItem(qs(e.name));
    components_->setCurrentIndex(component_);
    connect(components_, &QComboBox::activated, this, &CalibrationCurveDialog::selectComponent);

    plot_ = new QCustomPlot(this);
    plot_->setMinimumSize(560, 380);
    plot_->plotLayout()->insertRow(0);
    equation_ = new QCPTextElement(plot_, QString());
    plot_->plotLayout()->addElement(0, 0, equation_);
    plot_->addGraph();  // the standard points
    plot_->graph(0)->setLineStyle(QCPGraph::lsNone);
    plot_->graph(0)->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCircle, Qt::blue, QColor(Qt::blue).lighter(170), 8));
    plot_->addGraph();  // the fitted curve
    plot_->graph(1)->setPen(QPen(Qt::red, 1.5));

    factor1_ = new QLabel(this);
    factor2_ = new QLabel(this);
    log_ = new QCheckBox(QStringLiteral("对数坐标"), this);
    connect(log_, &QCheckBox::toggled, this, &CalibrationCurveDialog::draw);
    copy_ = new QPushButton(QStringLiteral("复制到剪贴板"), this);
    connect(copy_, &QPushButton::clicked, this, &CalibrationCurveDialog::copyToClipboard);
    print_ = new QPushButton(qs(kPrintCaption), this);
    connect(print_, &QPushButton::clicked, this, &CalibrationCurveDialog::printCurves);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    for (QPushButton* b : {copy_, print_, close})
        b->setAutoDefault(false);

    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("组份："), this));
    head->addWidget(components_, 1);
    head->addSpacing(16);
    head->addWidget(factor1_);
    head->addSpacing(16);
    head->addWidget(factor2_);
    head->addStretch();
    auto* foot = new QHBoxLayout;
    foot->addWidget(log_);
    foot->addStretch();
    foot->addWidget(copy_);
    foot->addWidget(print_);
    foot->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(plot_, 1);
    layout->addLayout(foot);
    resize(760, 560);
    draw();
}

void CalibrationCurveDialog::selectComponent(int index)
{
    const ViewCheck check = editor_.componentChangeCheck(index);
    if (!check.ok) {
        if (!check.message.empty())
            prompts_.message(qs(check.message), OperatorPrompts::Icon::Exclamation);
        const QSignalBlocker block(components_);
        components_->setCurrentIndex(component_);
        return;
    }
    component_ = index;
    components_->setCurrentIndex(index);
    draw();
}

void CalibrationCurveDialog::draw()
{
    const CalibrationCurve& curve = editor_.curve();
    const FitSettings& s = editor_.settings();
    const bool logarithmic = log_->isChecked();
    QVector<double> px;
    QVector<double> py;
    double xlo = std::numeric_limits<double>::infinity();
    double xhi = -xlo;
    double ylo = xlo;
    double yhi = -xlo;
    const auto extend = [&](double x, double y) {
        xlo = std::min(xlo, x);
        xhi = std::max(xhi, x);
        ylo = std::min(ylo, y);
        yhi = std::max(yhi, y);
    };
    for (const CurvePoint& p : curvePoints(curve, component_, s)) {
        const PlotPoint at = plotPoint(p, s.axis);
        if (logarithmic && (at.x <= 0.0 || at.y <= 0.0))
            continue;
        px << at.x;
        py << at.y;
        extend(at.x, at.y);
    }
    if (!logarithmic && xlo > 0.0)
        xlo = 0.0;  // a line through the origin is read from there
    const QCPRange xr = spanOf(xlo, xhi, logarithmic);

    QVector<double> lx;
    QVector<double> ly;
    const ComponentEntry* entry = component_ >= 0 && component_ < components_->count()
        ? &curve.components[static_cast<size_t>(component_)]
        : nullptr;
    // Across the whole axis, so that a single level still shows its line.
    const double from = logarithmic ? xr.lower : xlo;
    const double to = xr.upper;
    for (int i = 0; entry != nullptr && xlo <= xhi && i <= kLineSamples; ++i) {
        const double t = static_cast<double>(i) / kLineSamples;
        const double x = logarithmic ? from * std::pow(to / from, t) : from + (to - from) * t;
        const auto y = curveLineAt(*entry, s, x);
        if (!y || (logarithmic && *y <= 0.0))
            continue;
        lx << x;
        ly << *y;
        ylo = std::min(ylo, *y);
        yhi = std::max(yhi, *y);
    }
    plot_->graph(0)->setData(px, py);
    plot_->graph(1)->setData(lx, ly);

    const bool concentrationAcross = s.axis == CurveAxis::ConcentrationX;
    styleAxis(plot_->xAxis, logarithmic);
    styleAxis(plot_->yAxis, logarithmic);
    plot_->xAxis->setLabel(curveAxisTitle(concentrationAcross, s));
    plot_->yAxis->setLabel(curveAxisTitle(!concentrationAcross, s));
    plot_->xAxis->setRange(xr);
    plot_->yAxis->setRange(spanOf(ylo, yhi, logarithmic));

    const QString label = entry ? qs(curveEquationLabel(*entry)) : QString();
    equation_->setText(label);
    factor1_->setText(QStringLiteral("校正因子1：") +
                      (entry ? qs(numberText("%g", entry->factor1)) : QString()));
    factor2_->setText(QStringLiteral("校正因子2：") +
                      (entry ? qs(numberText("%g", entry->factor2)) : QString()));
    plot_->replot();
}

QString CalibrationCurveDialog::equation() const
{
    return equation_->text();
}

void CalibrationCurveDialog::copyToClipboard()
{
    const QPixmap picture = plot_->toPixmap();
    QClipboard* clipboard = QApplication::clipboard();
    if (clipboard != nullptr && !picture.isNull())
        clipboard->setPixmap(picture);
    if (clipboard == nullptr || picture.isNull() || clipboard->pixmap().isNull())
        prompts_.message(qs(kClipboardFailed), OperatorPrompts::Icon::Warning);
}

int CalibrationCurveDialog::exportCurves(const QString& pdfPath)
{
    const int shown = component_;
    const QFileInfo pdf(pdfPath);
    QPdfWriter writer(pdfPath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setResolution(96);
    writer.setTitle(qs(kCaption));
    QCPPainter painter;
    int exported = 0;
    for (int i = 0; i < components_->count(); ++i) {
        if (!editor_.componentChangeCheck(i).ok)
            continue;
        component_ = i;
        draw();
        const QString name = components_->itemText(i).replace(QLatin1Char('/'), QLatin1Char('_'));
        plot_->savePng(
            pdf.dir().filePath(
                QStringLiteral("%1-%2-%3.png").arg(pdf.completeBaseName()).arg(i + 1).arg(name)),
            kPictureWidth, kPictureHeight);
        if (exported == 0) {
            if (!painter.begin(&writer)) {
                exported = 0;
                break;
            }
        } else {
            writer.newPage();
        }
        const QRect page = painter.viewport();
        const double scale = std::min(page.width() / static_cast<double>(kPictureWidth),
                                      page.height() / static_cast<double>(kPictureHeight));
        painter.save();
        painter.scale(scale, scale);
        plot_->toPainter(&painter, kPictureWidth, kPictureHeight);
        painter.restore();
        ++exported;
    }
    if (painter.isActive())
        painter.end();
    component_ = shown;
    draw();
    return exported;
}

void CalibrationCurveDialog::printCurves()
{
    const QString proposed =
        qs(editor_.curve().name.empty() ? std::string("校正曲线") : editor_.curve().name) +
        QStringLiteral(".pdf");
    const auto file = prompts_.saveFile(qs(kPrintCaption), proposed,
                                        {QStringLiteral("PDF (*.pdf)")}, QStringLiteral("pdf"));
    if (!file)
        return;
    if (exportCurves(*file) > 0)
        prompts_.message(qs(formatText(kExported, ss(*file))), OperatorPrompts::Icon::Information);
    else
        prompts_.message(qs(formatText(kExportFailed, ss(*file))));
}

}  // namespace dgaws
