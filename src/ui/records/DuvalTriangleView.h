#pragma once

#include "dga/DuvalTriangle.h"

#include <QWidget>

#include <optional>

namespace dgaws {

// The Duval Triangle 1 with the test's point, as the printed report draws it.
class DuvalTriangleView : public QWidget {
    Q_OBJECT
public:
    explicit DuvalTriangleView(QWidget* parent = nullptr);

    void setPoint(const std::optional<DuvalPoint>& point);
    const std::optional<DuvalPoint>& point() const { return point_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<DuvalPoint> point_;
};

}  // namespace dgaws
