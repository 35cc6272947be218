#include "ui/run/WaitWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

namespace dgaws {

WaitWindow::WaitWindow(QWidget* centreOn)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      centreOn_(centreOn), label_(new QLabel(QString::fromUtf8(kInitialText), this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(p);
    label_->setPalette(p);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(30);
    label_->setFont(f);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(label_);
}

void WaitWindow::showText(const QString& text)
{
    label_->setText(text);
    adjustSize();
    centre();
    show();
    raise();
}

QString WaitWindow::text() const
{
    return label_->text();
}

void WaitWindow::centre()
{
    QRect area;
    if (centreOn_ && centreOn_->isVisible())
        area = centreOn_->frameGeometry();
    else if (const QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
}

}  // namespace dgaws
