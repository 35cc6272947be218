#include "ui/records/DuvalDiagramView.h"

#include <QPainter>

namespace dgaws {

DuvalDiagramView::DuvalDiagramView(DuvalDiagram diagram, const KeyGases& gases, QWidget* parent)
    : QWidget(parent), diagram_(diagram), gases_(gases)
{
    setMinimumSize(230, 210);
    setToolTip(duvalDiagramTitle(diagram, ReportLanguage::Chinese));
}

void DuvalDiagramView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QRectF all = rect();
    const double title = painter.fontMetrics().height() * 1.2;
    painter.drawText(QRectF(all.left(), all.top(), all.width(), title), Qt::AlignCenter,
                     duvalDiagramTitle(diagram_, ReportLanguage::Chinese));
    paintDuvalDiagram(painter, all.adjusted(0, title, 0, 0), diagram_, gases_,
                      ReportLanguage::Chinese);
}

}  // namespace dgaws
