#include "CurvePicture.h"

#include "AxisTicks.h"

#include "quant/CalibrationCheck.h"
#include "quant/CalibrationTableEditor.h"
#include "quant/NumberText.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace dgaws {
namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 600;
constexpr int kTicks = 5;
constexpr int kLineSamples = 100;

struct Span {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void add(double v)
    {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    // With a margin, and a width even for a single value.
    Span padded() const
    {
        if (!(lo <= hi))
            return {0.0, 1.0};
        const double margin = hi > lo ? (hi - lo) * 0.08 : std::max(std::abs(hi) * 0.1, 1.0);
        return {lo - margin, hi + margin};
    }
};

std::vector<double> ticksOver(const Span& span)
{
    double step = 1.0;
    return niceTicks(span.lo, span.hi, kTicks, step);
}

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

// Draws into the rectangle (0, 0, kWidth, kHeight) of the painter's coordinates.
void paintCurve(QPainter& p, const CalibrationCurve& curve, int component, const FitSettings& s)
{
    p.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
    const ComponentEntry& entry = curve.components.at(static_cast<size_t>(component));
    std::vector<PlotPoint> points;
    Span xs;
    Span ys;
    for (const CurvePoint& c : curvePoints(curve, component, s)) {
        points.push_back(plotPoint(c, s.axis));
        xs.add(points.back().x);
        ys.add(points.back().y);
    }
    if (xs.lo > 0.0)
        xs.lo = 0.0;  // a line through the origin is read from there
    std::vector<QPointF> line;
    for (int i = 0; xs.lo <= xs.hi && i <= kLineSamples; ++i) {
        const double x = xs.lo + (xs.hi - xs.lo) * i / kLineSamples;
        if (const auto y = curveLineAt(entry, s, x)) {
            line.emplace_back(x, *y);
            ys.add(*y);
        }
    }
    const Span xr = xs.padded();
    const Span yr = ys.padded();
    const QRectF area(110, 60, kWidth - 150, kHeight - 140);
    const auto at = [&](double x, double y) {
        return QPointF(area.left() + (x - xr.lo) / (xr.hi - xr.lo) * area.width(),
                       area.bottom() - (y - yr.lo) / (yr.hi - yr.lo) * area.height());
    };

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 10, kWidth, 30), Qt::AlignCenter, text(curveEquationLabel(entry)));
    for (const double x : ticksOver(xr)) {
        const QPointF bx = at(x, yr.lo);
        p.setPen(QPen(QColor(220, 220, 220), 1, Qt::DotLine));
        p.drawLine(QPointF(bx.x(), area.top()), bx);
        p.setPen(Qt::black);
        p.drawText(QRectF(bx.x() - 60, area.bottom() + 6, 120, 20), Qt::AlignHCenter | Qt::AlignTop,
                   text(numberText("%1.2f", x)));
    }
    for (const double y : ticksOver(yr)) {
        const QPointF ly = at(xr.lo, y);
        p.setPen(QPen(QColor(220, 220, 220), 1, Qt::DotLine));
        p.drawLine(ly, QPointF(area.right(), ly.y()));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, ly.y() - 10, area.left() - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                   text(numberText("%1.2f", y)));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    const bool concentrationAcross = s.axis == CurveAxis::ConcentrationX;
    p.drawText(QRectF(area.left(), area.bottom() + 30, area.width(), 24), Qt::AlignCenter,
               curveAxisTitle(concentrationAcross, s));
    p.save();
    p.translate(24, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-area.height() / 2, -12, area.height(), 24), Qt::AlignCenter,
               curveAxisTitle(!concentrationAcross, s));
    p.restore();

    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(area);
    p.setPen(QPen(Qt::red, 1.5));
    for (size_t i = 1; i < line.size(); ++i)
        p.drawLine(at(line[i - 1].x(), line[i - 1].y()), at(line[i].x(), line[i].y()));
    p.setPen(QPen(Qt::blue, 1.5));
    p.setBrush(QColor(170, 170, 255));
    for (const PlotPoint& pt : points)
        p.drawEllipse(at(pt.x, pt.y), 4.5, 4.5);
}

}  // namespace

bool writeCurvePng(const std::string& path, const CalibrationCurve& curve, int component,
                   const FitSettings& settings)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    paintCurve(painter, curve, component, settings);
    painter.end();
    // Written beside the target and renamed, so a failure keeps the previous picture.
    const QString target = text(path);
    const QString temporary = target + QStringLiteral(".part");
    if (!image.save(temporary, "PNG")) {
        QFile::remove(temporary);
        return false;
    }
    QFile::remove(target);
    return QFile::rename(temporary, target);
}

bool writeCurvePdf(const std::string& path, const CalibrationCurve& curve,
                   const std::vector<int>& components, const FitSettings& settings)
{
    const QString target = text(path);
    const QString temporary = target + QStringLiteral(".part");
    {
        QPdfWriter writer(temporary);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setResolution(96);
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        const double scale = std::min(writer.width() / static_cast<double>(kWidth),
                                      writer.height() / static_cast<double>(kHeight));
        for (size_t i = 0; i < components.size(); ++i) {
            if (i > 0)
                writer.newPage();
            painter.save();
            painter.scale(scale, scale);
            paintCurve(painter, curve, components[i], settings);
            painter.restore();
        }
        painter.end();
    }
    QFile::remove(target);
    return QFile::rename(temporary, target);
}

QString curveAxisTitle(bool concentration, const FitSettings& s)
{
    // Ratios have no unit; the others name theirs, as the result table does.
    const bool ratio = s.method == QuantMethod::InternalStandard;
    if (concentration)
        return ratio ? QStringLiteral("浓度比") : QStringLiteral("浓度(uL/L)");
    if (ratio)
        return s.response == ResponseKind::Height ? QStringLiteral("峰高比")
                                                  : QStringLiteral("面积比");
    return s.response == ResponseKind::Height ? QStringLiteral("峰高(uV)")
                                              : QStringLiteral("面积(uv*s)");
}

}  // namespace dgaws
