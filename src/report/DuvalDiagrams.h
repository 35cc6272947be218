#pragma once

#include "Report.h"

#include "dga/KeyGases.h"

#include <QString>

class QPainter;
class QRectF;

namespace dgaws {

// The Duval diagrams the diagnosis shows beside the ratio methods.
enum class DuvalDiagram { Triangle1, Triangle4, Triangle5, Pentagon1 };

inline constexpr DuvalDiagram kDuvalDiagrams[] = {DuvalDiagram::Triangle1, DuvalDiagram::Triangle4,
                                                  DuvalDiagram::Triangle5, DuvalDiagram::Pentagon1};

QString duvalDiagramTitle(DuvalDiagram diagram, ReportLanguage language);

// One diagram in `area` with its zones, their codes and the test's point when its gases
// place one; the zone codes keep clear of the point. The window and the printed report
// draw them alike. Triangles 4 and 5 are coloured from the zone rules themselves, so the
// picture cannot drift from the interpretation.
void paintDuvalDiagram(QPainter& painter, const QRectF& area, DuvalDiagram diagram,
                       const KeyGases& gases, ReportLanguage language);

}  // namespace dgaws
