#include "ui/records/PreviousTestDialog.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"

#include "dga/StoredGasOrder.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace dgaws {

namespace {

constexpr const char* kDateFormat = "yyyy-MM-dd HH:mm:ss";

QString dateText(const OleDateTime& date)
{
    return date.isValid() && date.date != 0.0 ? qs(date.format("%Y-%m-%d %H:%M:%S")) : QString();
}

}  // namespace

PreviousTestDialog::PreviousTestDialog(const RateRecord& record, OperatorPrompts& prompts,
                                       QWidget* parent)
    : QDialog(parent), prompts_(prompts), date_(new QLineEdit(this)), file1_(new QLineEdit(this)),
      file2_(new QLineEdit(this)), accepted_(record)
{
    setWindowTitle(qs(kCaption));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("上次的实验日期:"), date_);
    form->addRow(QStringLiteral("1号谱图文件:"), file1_);
    form->addRow(QStringLiteral("2号谱图文件:"), file2_);
    for (size_t r = 0; r < rate::Count; ++r) {
        values_[r] = new QLineEdit(this);
        auto* row = new QHBoxLayout;
        row->addWidget(values_[r]);
        row->addWidget(new QLabel(QStringLiteral("uL/L"), this));
        form->addRow(qs(std::string(gas::kComponentNames[rate::kGasOf[r]])) + QLatin1Char(':'),
                     row);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* read =
        buttons->addButton(QStringLiteral("读取数据(&R)"), QDialogButtonBox::ActionRole);
    QPushButton* save =
        buttons->addButton(QStringLiteral("保存数据(&S)"), QDialogButtonBox::ActionRole);
    QPushButton* clearing = buttons->addButton(qs(kClearButton), QDialogButtonBox::ActionRole);
    connect(clearing, &QPushButton::clicked, this, &PreviousTestDialog::clear);
    buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    connect(read, &QPushButton::clicked, this, &PreviousTestDialog::load);
    connect(save, &QPushButton::clicked, this, &PreviousTestDialog::store);
    connect(buttons, &QDialogButtonBox::accepted, this, &PreviousTestDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    show(record);
}

void PreviousTestDialog::show(const RateRecord& r)
{
    date_->setText(dateText(r.testTime));
    file1_->setText(qs(r.text1));
    file2_->setText(qs(r.text2));
    for (size_t i = 0; i < rate::Count; ++i)
        values_[i]->setText(QString::number(r.values[i], 'f', 4));
}

void PreviousTestDialog::clear()
{
    date_->clear();
    file1_->clear();
    file2_->clear();
    for (QLineEdit* v : values_)
        v->clear();
}

std::optional<RateRecord> PreviousTestDialog::record()
{
    RateRecord r;
    if (date_->text().trimmed().isEmpty())
        return r;
    const QDateTime when = QDateTime::fromString(date_->text().trimmed(), qs(kDateFormat));
    if (!when.isValid()) {
        prompts_.message(qs(kBadDate));
        date_->setFocus();
        return std::nullopt;
    }
    const QDate d = when.date();
    const QTime t = when.time();
    r.testTime =
        OleDateTime::fromCivil(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    r.text1 = ss(file1_->text());
    r.text2 = ss(file2_->text());
    for (size_t i = 0; i < rate::Count; ++i) {
        bool ok = false;
        const double v = values_[i]->text().trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0.0) {
            prompts_.message(qs(kBadValue));
            values_[i]->setFocus();
            values_[i]->selectAll();
            return std::nullopt;
        }
        r.values[i] = v;
    }
    return r;
}

void PreviousTestDialog::load()
{
    const auto path = prompts_.openFile(QStringLiteral("读取数据"), QString(),
                                        nameFiltersFromStored(kRateFileFilter));
    if (!path)
        return;
    RateRecord r;
    // A failed load leaves the fields as they were.
    if (loadRateRecord(r, ss(*path)) != 1) {
        prompts_.message(qs(kRateFileLoadFailed));
        return;
    }
    show(r);
}

bool PreviousTestDialog::store()
{
    const auto r = record();
    if (!r)
        return false;
    const auto path =
        prompts_.saveFile(QStringLiteral("保存数据"), QString(),
                          nameFiltersFromStored(kRateFileFilter), QStringLiteral("lcd"));
    if (!path)
        return false;
    if (saveRateRecord(*r, ss(*path)) != 1) {
        prompts_.message(qs(kRateFileSaveFailed));
        return false;
    }
    return true;
}

void PreviousTestDialog::accept()
{
    const auto r = record();
    if (!r)
        return;
    accepted_ = *r;
    QDialog::accept();
}

}  // namespace dgaws
