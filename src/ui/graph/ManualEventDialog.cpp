#include "ui/graph/ManualEventDialog.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dgaws {

ManualEventDialog::ManualEventDialog(const AnalysisMethod& method, OperatorPrompts& prompts,
                                     QWidget* parent)
    : QDialog(parent), table_(method), prompts_(prompts), list_(new QTableWidget(this)),
      replay_(new QCheckBox(QStringLiteral("使用手动积分事件表(&U)"), this)),
      delete_(new QPushButton(QStringLiteral("删除(&D)"), this)),
      clear_(new QPushButton(QStringLiteral("清空(&E)"), this))
{
    setWindowTitle(qs(ManualEventTable::kCaption));
    resize(480, 360);
    list_->setColumnCount(static_cast<int>(ManualEventTable::kColumns.size()));
    QStringList headers;
    for (const char* c : ManualEventTable::kColumns)
        headers << qs(c);
    list_->setHorizontalHeaderLabels(headers);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->setVisible(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    replay_->setChecked(method.useManualEvents);

    connect(delete_, &QPushButton::clicked, this, [this] {
        if (table_.deleteRow(list_->currentRow()))
            fill();
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        if (table_.size() > 0 &&
            prompts_.askYesNo(qs(ManualEventTable::kAskClearAll),
                              OperatorPrompts::Icon::Question)) {
            table_.clear();
            fill();
        }
    });

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("关闭(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(delete_);
    side->addWidget(clear_);
    side->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(list_);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(replay_);
    layout->addWidget(buttons);
    fill();
}

void ManualEventDialog::fill()
{
    list_->setRowCount(table_.size());
    for (int row = 0; row < table_.size(); ++row) {
        const ManualEventTable::RowText t = table_.rowText(row);
        list_->setItem(row, 0, new QTableWidgetItem(qs(t.number)));
        list_->setItem(row, 1, new QTableWidgetItem(qs(t.time)));
        list_->setItem(row, 2, new QTableWidgetItem(qs(t.event)));
    }
}

void ManualEventDialog::commitTo(AnalysisMethod& method) const
{
    table_.commitTo(method);
    method.useManualEvents = replay_->isChecked();
}

}  // namespace dgaws
