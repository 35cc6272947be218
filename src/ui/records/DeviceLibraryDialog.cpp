#include "ui/records/DeviceLibraryDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/records/RecordListItem.h"

#include "app/TestRecordDatabase.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace dgaws {

CompanyNameDialog::CompanyNameDialog(const QString& name, QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(name, this))
{
    setWindowTitle(qs(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qs(kPrompt), this));
    layout->addWidget(name_);
    layout->addWidget(okCancelButtons(this));
    name_->selectAll();
}

QString CompanyNameDialog::name() const
{
    return name_->text().trimmed();
}

DeviceInfoDialog::DeviceInfoDialog(const QString& name, const QList<QPair<int, QString>>& companies,
                                   int companyId, const DeviceClass& deviceClass, QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(name, this)), company_(new QComboBox(this)),
      voltage_(new QDoubleSpinBox(this)), breathing_(new QComboBox(this)),
      standard_(new QComboBox(this))
{
    setWindowTitle(qs(kCaption));
    for (const auto& [id, companyName] : companies) {
        company_->addItem(companyName, id);
        if (id == companyId)
            company_->setCurrentIndex(company_->count() - 1);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("设备名称："), name_);
    form->addRow(QStringLiteral("所属送样公司："), company_);
    // 0 stands for a class not known; such a device is judged as one below 330 kV.
    voltage_->setRange(0, 1200);
    voltage_->setDecimals(0);
    voltage_->setSuffix(QStringLiteral(" kV"));
    voltage_->setSpecialValueText(QStringLiteral("未知"));
    voltage_->setValue(deviceClass.voltageKv);
    form->addRow(QStringLiteral("电压等级："), voltage_);
    breathing_->addItem(QStringLiteral("密封式"), false);
    breathing_->addItem(QStringLiteral("开放式(通过储油柜呼吸)"), true);
    breathing_->setCurrentIndex(deviceClass.openBreathing ? 1 : 0);
    form->addRow(QStringLiteral("油保护方式："), breathing_);
    for (const auto& [s, text] : {std::pair{JudgingStandard::Dlt722, "DL/T 722-2014"},
                                  std::pair{JudgingStandard::Iec60599, "IEC 60599:2015"},
                                  std::pair{JudgingStandard::IeeeC57104, "IEEE C57.104-2019"}}) {
        standard_->addItem(QString::fromLatin1(text), static_cast<int>(s));
        if (s == deviceClass.standard)
            standard_->setCurrentIndex(standard_->count() - 1);
    }
    form->addRow(QStringLiteral("判断标准："), standard_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

QString DeviceInfoDialog::name() const
{
    return name_->text().trimmed();
}

int DeviceInfoDialog::companyId() const
{
    return company_->currentIndex() < 0 ? -1 : company_->currentData().toInt();
}

DeviceClass DeviceInfoDialog::deviceClass() const
{
    return {voltage_->value(), breathing_->currentData().toBool(),
            static_cast<JudgingStandard>(standard_->currentData().toInt())};
}

DeviceLibraryDialog::DeviceLibraryDialog(TestRecordDatabase& db, OperatorPrompts& prompts,
                                         QWidget* parent)
    : QDialog(parent), db_(db), prompts_(prompts), companies_(new QListWidget(this)),
      devices_(new QListWidget(this))
{
    setWindowTitle(qs(kCaption));
    const auto button = [this](const char* text, void (DeviceLibraryDialog::*run)()) {
        auto* b = new QPushButton(qs(text), this);
        connect(b, &QPushButton::clicked, this, run);
        return b;
    };
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("送样公司列表："), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("相关设备列表："), this), 0, 1);
    grid->addWidget(companies_, 1, 0);
    grid->addWidget(devices_, 1, 1);
    auto* companyButtons = new QVBoxLayout;
    companyButtons->addWidget(button("增加送样公司", &DeviceLibraryDialog::addCompany));
    companyButtons->addWidget(button("修改公司名", &DeviceLibraryDialog::renameCompany));
    companyButtons->addWidget(button("删除公司", &DeviceLibraryDialog::deleteCompany));
    auto* deviceButtons = new QVBoxLayout;
    deviceButtons->addWidget(button("增加设备", &DeviceLibraryDialog::addDevice));
    deviceButtons->addWidget(button("修改设备", &DeviceLibraryDialog::modifyDevice));
    deviceButtons->addWidget(button("删除设备", &DeviceLibraryDialog::deleteDevice));
    grid->addLayout(companyButtons, 2, 0);
    grid->addLayout(deviceButtons, 2, 1);
    auto* close = new QDialogButtonBox(this);
    close->addButton(QStringLiteral("关闭(C)"), QDialogButtonBox::RejectRole);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(close, 3, 0, 1, 2);
    connect(companies_, &QListWidget::currentItemChanged, this, [this] { fillDevices(-1); });
    resize(560, 420);
    reload(-1, -1);
}

int DeviceLibraryDialog::selectedCompany() const
{
    return recordIdOf(companies_->currentItem());
}

int DeviceLibraryDialog::selectedDevice() const
{
    return recordIdOf(devices_->currentItem());
}

QList<QPair<int, QString>> DeviceLibraryDialog::companyChoices() const
{
    QList<QPair<int, QString>> choices;
    for (int i = 0; i < companies_->count(); ++i)
        choices.append({recordIdOf(companies_->item(i)), companies_->item(i)->text()});
    return choices;
}

void DeviceLibraryDialog::reload(int selectCompany, int selectDevice)
{
    const QSignalBlocker quiet(companies_);
    companies_->clear();
    const auto all = db_.companies();
    if (all)
        for (const auto& c : *all) {
            auto* item = new QListWidgetItem(qs(c.name), companies_);
            item->setData(kRecordIdRole, c.id);
            if (c.id == selectCompany)
                companies_->setCurrentItem(item);
        }
    if (!companies_->currentItem() && companies_->count() > 0)
        companies_->setCurrentRow(0);
    fillDevices(selectDevice);
}

void DeviceLibraryDialog::fillDevices(int selectDevice)
{
    devices_->clear();
    const int company = selectedCompany();
    if (company < 0)
        return;
    const auto all = db_.devices(company);
    if (!all)
        return;
    for (const auto& d : *all) {
        auto* item = new QListWidgetItem(qs(d.name), devices_);
        item->setData(kRecordIdRole, d.id);
        if (d.id == selectDevice)
            devices_->setCurrentItem(item);
    }
}

void DeviceLibraryDialog::addCompany()
{
    CompanyNameDialog dialog(QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (db_.addCompany(ss(dialog.name())))
        reload(db_.companyId(ss(dialog.name())).value_or(-1), -1);
}

void DeviceLibraryDialog::renameCompany()
{
    const int company = selectedCompany();
    if (company < 0) {
        db_.renameCompany(-1, {});  // the database says what is missing
        return;
    }
    CompanyNameDialog dialog(companies_->currentItem()->text(), this);
    dialog.setWindowTitle(QStringLiteral("修改公司名"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    db_.renameCompany(company, ss(dialog.name()));
    reload(company, selectedDevice());
}

void DeviceLibraryDialog::deleteCompany()
{
    const int company = selectedCompany();
    if (company >= 0 &&
        !prompts_.askYesNo(qs(kDeleteCompanyQuestion).arg(companies_->currentItem()->text())))
        return;
    if (db_.deleteCompany(company))
        reload(-1, -1);
}

void DeviceLibraryDialog::addDevice()
{
    DeviceInfoDialog dialog(QString(), companyChoices(), selectedCompany(), {}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!db_.addDevice(ss(dialog.name()), dialog.companyId()))
        return;
    const int added = db_.deviceId(ss(dialog.name()), dialog.companyId()).value_or(-1);
    if (added >= 0)
        db_.setDeviceClass(added, dialog.deviceClass());
    reload(dialog.companyId(), added);
}

void DeviceLibraryDialog::modifyDevice()
{
    const int device = selectedDevice();
    if (device < 0) {
        db_.modifyDevice(-1, {}, -1);
        return;
    }
    DeviceInfoDialog dialog(devices_->currentItem()->text(), companyChoices(), selectedCompany(),
                            db_.deviceClass(device).value_or(DeviceClass{}), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (db_.modifyDevice(device, ss(dialog.name()), dialog.companyId()) &&
        db_.setDeviceClass(device, dialog.deviceClass()))
        reload(dialog.companyId(), device);
}

void DeviceLibraryDialog::deleteDevice()
{
    const int device = selectedDevice();
    if (device >= 0 &&
        !prompts_.askYesNo(qs(kDeleteDeviceQuestion).arg(devices_->currentItem()->text())))
        return;
    if (db_.deleteDevice(device))
        reload(selectedCompany(), -1);
}

}  // namespace dgaws
