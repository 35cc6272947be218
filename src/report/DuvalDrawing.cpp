#include "DuvalDrawing.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace dgaws {

namespace {

QColor zoneColour(DuvalZone zone)
{
    switch (zone) {
    case DuvalZone::PD: return QColor(190, 210, 255);
    case DuvalZone::T1: return QColor(255, 245, 180);
    case DuvalZone::T2: return QColor(255, 215, 140);
    case DuvalZone::T3: return QColor(250, 170, 120);
    case DuvalZone::D1: return QColor(200, 235, 200);
    case DuvalZone::D2: return QColor(150, 210, 160);
    case DuvalZone::DT: return QColor(225, 200, 235);
    }
    return Qt::white;
}

struct Corners {
    QPointF top;    // 100 % CH4
    QPointF right;  // 100 % C2H4
    QPointF left;   // 100 % C2H2

    QPointF at(double ch4, double c2h4, double c2h2) const
    {
        return (top * ch4 + right * c2h4 + left * c2h2) / 100.0;
    }
};

// The triangle in an area, with room for the corner captions around it.
struct Layout {
    Corners c;
    double side = 0.0;
    double pointRadius = 0.0;

    Layout(const QRectF& area, const QFontMetricsF& fm)
    {
        const double margin = fm.height() * 1.6;
        const QRectF box = area.adjusted(margin, margin, -margin, -margin);
        side = std::min(box.width(), box.height() / (std::sqrt(3.0) / 2.0));
        const double height = side * std::sqrt(3.0) / 2.0;
        const QPointF origin(box.center().x() - side / 2, box.center().y() + height / 2);
        c = {QPointF(origin.x() + side / 2, origin.y() - height),
             QPointF(origin.x() + side, origin.y()), origin};
        pointRadius = std::max(3.0, side / 60.0);
    }
};

// Zone codes at points well inside each zone.
struct LabelAnchor {
    DuvalZone zone;
    double ch4, c2h4, c2h2;
};
constexpr LabelAnchor kLabels[] = {{DuvalZone::PD, 99, 0.5, 0.5}, {DuvalZone::T1, 88, 10, 2},
                                   {DuvalZone::T2, 63, 35, 2},    {DuvalZone::T3, 20, 72, 8},
                                   {DuvalZone::D1, 30, 10, 60},   {DuvalZone::D2, 30, 32, 38},
                                   {DuvalZone::DT, 50, 42, 8}};

}  // namespace

QPolygonF duvalZoneCorners(DuvalZone zone)
{
    switch (zone) {
    case DuvalZone::PD: return QPolygonF({{0, 0}, {2, 0}, {0, 2}});
    case DuvalZone::T1: return QPolygonF({{2, 0}, {20, 0}, {20, 4}, {0, 4}, {0, 2}});
    case DuvalZone::T2: return QPolygonF({{20, 0}, {50, 0}, {50, 4}, {20, 4}});
    case DuvalZone::T3: return QPolygonF({{50, 0}, {100, 0}, {85, 15}, {50, 15}});
    case DuvalZone::D1: return QPolygonF({{0, 13}, {23, 13}, {23, 77}, {0, 100}});
    case DuvalZone::D2: return QPolygonF({{23, 13}, {40, 13}, {40, 29}, {71, 29}, {23, 77}});
    case DuvalZone::DT: break;
    }
    return QPolygonF({{0, 4}, {50, 4}, {50, 15}, {85, 15}, {71, 29}, {40, 29}, {40, 13}, {0, 13}});
}

std::optional<QRectF> duvalPointBox(const QRectF& area, const QFontMetricsF& fm,
                                    const std::optional<DuvalPoint>& point)
{
    if (!point)
        return std::nullopt;
    const Layout l(area, fm);
    const QPointF at = l.c.at(point->ch4, point->c2h4, point->c2h2);
    const double r = 2.0 * l.pointRadius;
    return QRectF(at - QPointF(r, r), at + QPointF(r, r));
}

std::vector<std::pair<DuvalZone, QRectF>>
duvalLabelBoxes(const QRectF& area, const QFontMetricsF& fm, const std::optional<DuvalPoint>& point)
{
    const Layout l(area, fm);
    const std::optional<QRectF> keepClear = duvalPointBox(area, fm, point);
    std::vector<std::pair<DuvalZone, QRectF>> boxes;
    for (const LabelAnchor& a : kLabels) {
        const QPointF at = l.c.at(a.ch4, a.c2h4, a.c2h2);
        const double w = fm.horizontalAdvance(QString::fromLatin1(duvalZoneCode(a.zone)));
        QRectF text(at - QPointF(w / 2, fm.ascent() / 2), QSizeF(w, fm.ascent()));
        // A code over the test's point (PD's at the apex above all) would hide where the
        // test lies: it moves beside the point, towards the inside, else below it.
        if (keepClear && text.intersects(*keepClear)) {
            const QPointF centre = keepClear->center();
            const QPointF inside = (l.c.top + l.c.right + l.c.left) / 3.0;
            const double dx = (text.width() + keepClear->width()) / 2 + 1.0;
            const double dy = (text.height() + keepClear->height()) / 2 + 1.0;
            const double toward = centre.x() <= inside.x() ? dx : -dx;
            for (const QPointF& shift :
                 {QPointF(toward, 0), QPointF(0, dy), QPointF(-toward, 0), QPointF(0, -dy)}) {
                const QRectF moved = text.translated(centre - text.center() + shift);
                if (!moved.intersects(*keepClear)) {
                    text = moved;
                    break;
                }
            }
        }
        boxes.emplace_back(a.zone, text);
    }
    return boxes;
}

void paintDuvalTriangle(QPainter& p, const QRectF& area, const std::optional<DuvalPoint>& point,
                        ReportLanguage language)
{
    p.save();
    const QFontMetricsF fm(p.font(), p.device());
    const Layout layout(area, fm);
    const Corners& c = layout.c;
    const double side = layout.side;

    QPen thin(Qt::darkGray);
    thin.setWidthF(std::max(0.5, side / 600.0));
    for (const DuvalZone zone : {DuvalZone::PD, DuvalZone::T1, DuvalZone::T2, DuvalZone::T3,
                                 DuvalZone::D1, DuvalZone::D2, DuvalZone::DT}) {
        QPolygonF polygon;
        for (const QPointF& share : duvalZoneCorners(zone))
            polygon << c.at(100.0 - share.x() - share.y(), share.x(), share.y());
        p.setPen(thin);
        p.setBrush(zoneColour(zone));
        p.drawPolygon(polygon);
    }

    QPen edge(Qt::black);
    edge.setWidthF(std::max(1.0, side / 300.0));
    p.setPen(edge);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({c.top, c.right, c.left}));

    p.setPen(Qt::black);
    for (const auto& [zone, box] : duvalLabelBoxes(area, fm, point))
        p.drawText(QPointF(box.left(), box.bottom()), QString::fromLatin1(duvalZoneCode(zone)));
    const bool en = language == ReportLanguage::English;
    const QString ch4 = en ? QStringLiteral("% CH4") : QStringLiteral("CH4 %");
    p.drawText(c.top - QPointF(fm.horizontalAdvance(ch4) / 2, fm.descent() + side / 60), ch4);
    p.drawText(c.right + QPointF(-fm.horizontalAdvance(QStringLiteral("C2H4 %")), fm.height()),
               QStringLiteral("C2H4 %"));
    p.drawText(c.left + QPointF(0, fm.height()), QStringLiteral("C2H2 %"));

    if (point) {
        const QPointF at = c.at(point->ch4, point->c2h4, point->c2h2);
        const double r = layout.pointRadius;
        p.setPen(QPen(Qt::red, edge.widthF()));
        p.setBrush(Qt::red);
        p.drawEllipse(at, r, r);
    }
    p.restore();
}

}  // namespace dgaws
