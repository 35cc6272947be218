#include "ui/shell/LogViewDialog.h"

#include "ui/common/QtText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dgaws {

LogViewDialog::LogViewDialog(const CLog& entries, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this))
{
    setWindowTitle(QStringLiteral("查看日志"));
    resize(640, 480);
    table_->setColumnCount(3);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("序号"), QStringLiteral("记录时间"), QStringLiteral("系统事件")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(0, 60);
    table_->setColumnWidth(1, 160);

    const int total = static_cast<int>(entries.size());
    const int shown = std::min(total, kMaxShown);
    table_->setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
        const int i = total - 1 - row;  // newest first
        const CRecord& r = entries[static_cast<size_t>(i)];
        table_->setItem(row, 0, new QTableWidgetItem(QString::number(i + 1)));
        table_->setItem(
            row, 1, new QTableWidgetItem(r.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        table_->setItem(row, 2, new QTableWidgetItem(qs(r.text)));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
}

}  // namespace dgaws
