#pragma once

#include "report/DuvalDiagrams.h"

#include <QWidget>

namespace dgaws {

// One Duval diagram with the test's point, as the printed report draws it.
class DuvalDiagramView : public QWidget {
    Q_OBJECT
public:
    DuvalDiagramView(DuvalDiagram diagram, const KeyGases& gases, QWidget* parent = nullptr);

    DuvalDiagram diagram() const { return diagram_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DuvalDiagram diagram_;
    KeyGases gases_;
};

}  // namespace dgaws
