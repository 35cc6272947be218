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

void paintDuvalTriangle(QPainter& p, const QRectF& area, const std::optional<DuvalPoint>& point,
                        ReportLanguage language)
{
    p.save();
    const QFontMetricsF fm(p.font(), p.device());
    const double margin = fm.height() * 1.6;
    const QRectF box = area.adjusted(margin, margin, -margin, -margin);
    const double side = std::min(box.width(), box.height() / (std::sqrt(3.0) / 2.0));
    const double height = side * std::sqrt(3.0) / 2.0;
    const QPointF origin(box.center().x() - side / 2, box.center().y() + height / 2);
    const Corners c{QPointF(origin.x() + side / 2, origin.y() - height),
                    QPointF(origin.x() + side, origin.y()), origin};

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

    // Zone codes at points well inside each zone.
    const struct {
        DuvalZone zone;
        double ch4, c2h4, c2h2;
    } labels[] = {{DuvalZone::PD, 99, 0.5, 0.5}, {DuvalZone::T1, 88, 10, 2},
                  {DuvalZone::T2, 63, 35, 2},    {DuvalZone::T3, 20, 72, 8},
                  {DuvalZone::D1, 30, 10, 60},   {DuvalZone::D2, 30, 32, 38},
                  {DuvalZone::DT, 50, 42, 8}};
    p.setPen(Qt::black);
    for (const auto& l : labels) {
        const QPointF at = c.at(l.ch4, l.c2h4, l.c2h2);
        const QString code = QString::fromLatin1(duvalZoneCode(l.zone));
        p.drawText(at - QPointF(fm.horizontalAdvance(code) / 2, -fm.ascent() / 2), code);
    }
    const bool en = language == ReportLanguage::English;
    const QString ch4 = en ? QStringLiteral("% CH4") : QStringLiteral("CH4 %");
    p.drawText(c.top - QPointF(fm.horizontalAdvance(ch4) / 2, fm.descent() + side / 60), ch4);
    p.drawText(c.right + QPointF(-fm.horizontalAdvance(QStringLiteral("C2H4 %")), fm.height()),
               QStringLiteral("C2H4 %"));
    p.drawText(c.left + QPointF(0, fm.height()), QStringLiteral("C2H2 %"));

    if (point) {
        const QPointF at = c.at(point->ch4, point->c2h4, point->c2h2);
        const double r = std::max(3.0, side / 60.0);
        p.setPen(QPen(Qt::red, edge.widthF()));
        p.setBrush(Qt::red);
        p.drawEllipse(at, r, r);
    }
    p.restore();
}

}  // namespace dgaws
