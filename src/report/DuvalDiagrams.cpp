#include "DuvalDiagrams.h"

#include "DuvalDrawing.h"

#include "dga/DuvalLowTemperature.h"
#include "dga/DuvalPentagon.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dgaws {
namespace {

QColor zoneColour(std::string_view code)
{
    static const std::map<std::string_view, QColor> kColours = {
        {"PD", QColor(190, 210, 255)},   {"S", QColor(215, 230, 205)},
        {"O", QColor(255, 245, 180)},    {"C", QColor(215, 185, 150)},
        {"ND", QColor(235, 235, 235)},   {"T1", QColor(255, 245, 180)},
        {"T2", QColor(255, 215, 140)},   {"T3", QColor(250, 170, 120)},
        {"T3-H", QColor(250, 170, 120)}, {"D1", QColor(200, 235, 200)},
        {"D2", QColor(150, 210, 160)}};
    const auto it = kColours.find(code);
    return it == kColours.end() ? QColor(Qt::white) : it->second;
}

// A code placed at `at`, moved below or above when it would cover the test's point.
void drawCode(QPainter& p, const QFontMetricsF& fm, QPointF at, const QString& code,
              const std::optional<QPointF>& point)
{
    QRectF box(at.x() - fm.horizontalAdvance(code) / 2, at.y() - fm.height() / 2,
               fm.horizontalAdvance(code), fm.height());
    if (point && box.adjusted(-4, -4, 4, 4).contains(*point))
        box.translate(0, point->y() >= at.y() ? -(fm.height() + 4) : fm.height() + 4);
    p.drawText(box, Qt::AlignCenter, code);
}

struct Ternary {
    QPointF top, right, left;
    QPointF at(const TernaryPoint& s) const
    {
        return (top * s.a + right * s.b + left * s.c) / 100.0;
    }
};

Ternary ternaryIn(const QRectF& box)
{
    const double side = std::min(box.width(), box.height() / (std::sqrt(3.0) / 2.0));
    const double height = side * std::sqrt(3.0) / 2.0;
    const QPointF origin(box.center().x() - side / 2, box.center().y() + height / 2);
    return {QPointF(origin.x() + side / 2, origin.y() - height),
            QPointF(origin.x() + side, origin.y()), origin};
}

void paintTernary(QPainter& p, const QRectF& area, const char* const axes[3],
                  const std::function<std::string_view(const TernaryPoint&)>& zoneOf,
                  const std::optional<TernaryPoint>& point)
{
    const QFontMetricsF fm(p.font(), p.device());
    const double margin = fm.height() * 1.6;
    const Ternary t = ternaryIn(area.adjusted(margin, margin, -margin, -margin));
    const QRectF bounds = QPolygonF({t.top, t.right, t.left}).boundingRect();
    // A widget not laid out yet leaves no room for a triangle.
    if (!(bounds.width() >= 8.0 && bounds.height() >= 8.0))
        return;
    // One zone evaluation per picture element, at a fixed fine grid so that print and
    // screen agree.
    constexpr int kCells = 400;
    const double cell = bounds.width() / kCells;
    const int rows = static_cast<int>(std::ceil(bounds.height() / cell));
    QImage image(kCells, rows, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    std::map<std::string_view, std::vector<QPointF>> cells;
    const double det = (t.right.y() - t.left.y()) * (t.top.x() - t.left.x()) +
        (t.left.x() - t.right.x()) * (t.top.y() - t.left.y());
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < kCells; ++x) {
            const QPointF q(bounds.left() + (x + 0.5) * cell, bounds.top() + (y + 0.5) * cell);
            const double a = ((t.right.y() - t.left.y()) * (q.x() - t.left.x()) +
                              (t.left.x() - t.right.x()) * (q.y() - t.left.y())) /
                det;
            const double b = ((t.left.y() - t.top.y()) * (q.x() - t.left.x()) +
                              (t.top.x() - t.left.x()) * (q.y() - t.left.y())) /
                det;
            const double c = 1.0 - a - b;
            if (a < 0 || b < 0 || c < 0)
                continue;
            const std::string_view zone = zoneOf({100 * a, 100 * b, 100 * c});
            image.setPixelColor(x, y, zoneColour(zone));
            cells[zone].push_back(q);
        }
    p.drawImage(bounds, image);

    QPen edge(Qt::black);
    edge.setWidthF(std::max(1.0, bounds.width() / 300.0));
    p.setPen(edge);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({t.top, t.right, t.left}));

    std::optional<QPointF> at;
    if (point)
        at = t.at(*point);
    p.setPen(Qt::black);
    for (const auto& [zone, points] : cells) {
        // The zone's own element nearest to its mean, which for a bent zone may lie outside.
        QPointF mean;
        for (const QPointF& q : points)
            mean += q;
        mean /= static_cast<double>(points.size());
        QPointF best = points.front();
        for (const QPointF& q : points)
            if (QLineF(q, mean).length() < QLineF(best, mean).length())
                best = q;
        if (points.size() > 150)
            drawCode(p, fm, best, QString::fromLatin1(zone.data(), static_cast<int>(zone.size())),
                     at);
    }
    const QString top = QString::fromLatin1(axes[0]) + QStringLiteral(" %");
    const QString right = QString::fromLatin1(axes[1]) + QStringLiteral(" %");
    const QString left = QString::fromLatin1(axes[2]) + QStringLiteral(" %");
    p.drawText(t.top - QPointF(fm.horizontalAdvance(top) / 2, fm.descent() + 2), top);
    p.drawText(t.right + QPointF(-fm.horizontalAdvance(right), fm.height()), right);
    p.drawText(t.left + QPointF(0, fm.height()), left);
    if (at) {
        const double r = std::max(3.0, bounds.width() / 60.0);
        p.setPen(QPen(Qt::red, edge.widthF()));
        p.setBrush(Qt::red);
        p.drawEllipse(*at, r, r);
    }
}

void paintPentagon(QPainter& p, const QRectF& area, const std::optional<PentagonPoint>& point)
{
    const QFontMetricsF fm(p.font(), p.device());
    const double margin = fm.height() * 1.6;
    const QRectF box = area.adjusted(margin, margin, -margin, -margin);
    const double scale = std::min(box.width(), box.height()) / 2.0 / 40.0;
    if (!(scale > 0.1))
        return;
    const QPointF centre = box.center();
    const auto map = [&](PentagonPoint q) {
        return QPointF(centre.x() + q.x * scale, centre.y() - q.y * scale);
    };
    QPen thin(Qt::darkGray);
    thin.setWidthF(std::max(0.5, scale / 10.0));
    std::optional<QPointF> at;
    if (point)
        at = map(*point);
    for (const PentagonZone& z : pentagon1Zones()) {
        QPolygonF polygon;
        for (const PentagonPoint& q : z.corners)
            polygon << map(q);
        p.setPen(thin);
        p.setBrush(zoneColour(z.code));
        p.drawPolygon(polygon);
    }
    QPolygonF outline;
    for (int axis = 0; axis < 5; ++axis)
        outline << map(pentagonAxisPoint(axis, 40));
    QPen edge(Qt::black);
    edge.setWidthF(std::max(1.0, scale / 5.0));
    p.setPen(edge);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(outline);
    p.setPen(Qt::black);
    // Codes where each zone is widest; PD is too narrow and is named beside itself.
    const struct {
        const char* code;
        PentagonPoint where;
    } labels[] = {{"PD", {-5, 29}},  {"D1", {14, 18}},  {"D2", {15, -10}}, {"T3", {10, -26}},
                  {"T2", {-7, -24}}, {"T1", {-20, -8}}, {"S", {-18, 14}}};
    for (const auto& l : labels)
        drawCode(p, fm, map(l.where), QString::fromLatin1(l.code), at);
    static const char* const kAxes[] = {"H2", "C2H6", "CH4", "C2H4", "C2H2"};
    for (int axis = 0; axis < 5; ++axis) {
        const QPointF corner = map(pentagonAxisPoint(axis, 40));
        const QString name = QString::fromLatin1(kAxes[axis]);
        const QPointF outward = corner - centre;
        const double len = std::hypot(outward.x(), outward.y());
        const QPointF label = corner + outward / len * fm.height() * 0.8;
        p.drawText(QRectF(label.x() - fm.horizontalAdvance(name) / 2 - 2,
                          label.y() - fm.height() / 2, fm.horizontalAdvance(name) + 4, fm.height()),
                   Qt::AlignCenter, name);
    }
    if (at) {
        const double r = std::max(3.0, scale * 0.8);
        p.setPen(QPen(Qt::red, edge.widthF()));
        p.setBrush(Qt::red);
        p.drawEllipse(*at, r, r);
    }
}

}  // namespace

QString duvalDiagramTitle(DuvalDiagram diagram, ReportLanguage language)
{
    const bool en = language == ReportLanguage::English;
    switch (diagram) {
    case DuvalDiagram::Triangle1:
        return en ? QStringLiteral("Duval Triangle 1") : QStringLiteral("Duval 三角形 1");
    case DuvalDiagram::Triangle4:
        return en ? QStringLiteral("Duval Triangle 4") : QStringLiteral("Duval 三角形 4");
    case DuvalDiagram::Triangle5:
        return en ? QStringLiteral("Duval Triangle 5") : QStringLiteral("Duval 三角形 5");
    case DuvalDiagram::Pentagon1: break;
    }
    return en ? QStringLiteral("Duval Pentagon 1") : QStringLiteral("Duval 五边形 1");
}

void paintDuvalDiagram(QPainter& p, const QRectF& area, DuvalDiagram diagram, const KeyGases& g,
                       ReportLanguage language)
{
    p.save();
    switch (diagram) {
    case DuvalDiagram::Triangle1:
        paintDuvalTriangle(p, area, duvalPoint(g.ch4, g.c2h4, g.c2h2), language);
        break;
    case DuvalDiagram::Triangle4: {
        static const char* const kAxes[] = {"H2", "CH4", "C2H6"};
        // Where Triangle 1 does not call for this triangle its table row reads "not
        // applicable"; a point in one of its zones would say otherwise.
        paintTernary(p, area, kAxes, duvalTriangle4Zone,
                     duvalTriangle4(g) ? ternaryPoint(g.h2, g.ch4, g.c2h6) : std::nullopt);
        break;
    }
    case DuvalDiagram::Triangle5: {
        static const char* const kAxes[] = {"CH4", "C2H4", "C2H6"};
        paintTernary(p, area, kAxes, duvalTriangle5Zone,
                     duvalTriangle5(g) ? ternaryPoint(g.ch4, g.c2h4, g.c2h6) : std::nullopt);
        break;
    }
    case DuvalDiagram::Pentagon1: {
        const auto shares = pentagonShares(g);
        paintPentagon(p, area, shares ? std::optional(pentagonCentroid(*shares)) : std::nullopt);
        break;
    }
    }
    p.restore();
}

}  // namespace dgaws
