#pragma once

#include "Report.h"

#include "dga/DuvalTriangle.h"

#include <optional>
#include <utility>
#include <vector>

#include <QPolygonF>
#include <QRectF>

class QFontMetricsF;
class QPainter;

namespace dgaws {

// A zone as the polygon its limits cut from the triangle, corners as (% C2H4, % C2H2);
// methane is the rest.
QPolygonF duvalZoneCorners(DuvalZone zone);

// The Duval Triangle 1 in `area`: methane at the top, ethylene at the lower right,
// acetylene at the lower left, each zone in its own colour with its code, the test's point
// when there is one. The window and the printed report draw it alike.
// Where, in `area`, the test's point is drawn (a square around its mark, which no label
// may enter) and each zone's code stands: well inside its zone, or moved beside the point
// when it would cover it.
std::optional<QRectF> duvalPointBox(const QRectF& area, const QFontMetricsF& metrics,
                                    const std::optional<DuvalPoint>& point);
std::vector<std::pair<DuvalZone, QRectF>> duvalLabelBoxes(const QRectF& area,
                                                          const QFontMetricsF& metrics,
                                                          const std::optional<DuvalPoint>& point);

void paintDuvalTriangle(QPainter& painter, const QRectF& area,
                        const std::optional<DuvalPoint>& point, ReportLanguage language);

}  // namespace dgaws
