#pragma once

#include "dga/DgaLimits.h"
#include "dga/Interpretations.h"

#include <QWidget>

#include <vector>

class QTableWidget;

namespace dgaws {

class DuvalDiagramView;

// Beside the three ratios: every interpretation method's zone with what it read, the test
// against the limits of its device's class and standard (exceeded rows marked), and the
// Duval Triangles 1, 4, 5 and Pentagon 1 with the test's point.
class InterpretationPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kExceeded = "超过";
    static constexpr const char* kWithin = "正常";

    InterpretationPanel(const KeyGases& gases, const LimitsJudgement& limits,
                        QWidget* parent = nullptr);

    QTableWidget* methodTable() const { return methods_; }
    QTableWidget* limitTable() const { return limits_; }
    const std::vector<DuvalDiagramView*>& diagrams() const { return diagrams_; }
    // The drawings alone, for a layout beside the dialog's own fields.
    QWidget* diagramGrid() const { return grid_; }

private:
    QTableWidget* methods_;
    QTableWidget* limits_;
    QWidget* grid_;
    std::vector<DuvalDiagramView*> diagrams_;
};

}  // namespace dgaws
