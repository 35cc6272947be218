#include "ui/records/DuvalTriangleView.h"

#include "report/DuvalDrawing.h"

#include <QPainter>

namespace dgaws {

DuvalTriangleView::DuvalTriangleView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(280, 260);
}

void DuvalTriangleView::setPoint(const std::optional<DuvalPoint>& point)
{
    point_ = point;
    update();
}

void DuvalTriangleView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    paintDuvalTriangle(painter, rect(), point_, ReportLanguage::Chinese);
}

}  // namespace dgaws
