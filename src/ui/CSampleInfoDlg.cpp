#include "CSampleInfoDlg.h"

#include "DialogButtons.h"
#include "QtText.h"

#include "app/CChrEDoc.h"
#include "app/ChannelFileName.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace dgaws {

namespace {

const char* const kCalcMethods[] = {"面积归一化法", "校正面积归一化法", "内标法", "外标法",
                                    "指数外标法",   "振荡法",           "真空法"};

QDoubleSpinBox* number(QWidget* parent, double value, int decimals, double max = 1e9)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(-max, max);
    box->setDecimals(decimals);
    box->setValue(value);
    return box;
}

}  // namespace

CSampleInfoDlg::CSampleInfoDlg(const CChrEDoc& doc, QWidget* parent)
    : QDialog(parent), pathName_(qs(doc.pathName))
{
    setWindowTitle(QString::fromUtf8(kCaption));
    const ChromatogramData& d = doc.data;
    const AnalysisMethod& m = d.method;

    injectionTime_ = new QLineEdit(qs(d.injectionTime.format("%Y-%m-%d %H:%M:%S")), this);
    injectionTime_->setReadOnly(true);
    deviceNo_ = new QLineEdit(qs(m.deviceNo), this);
    serialNo_ = new QLineEdit(qs(m.serialNo), this);
    sendingCompany_ = new QLineEdit(qs(m.sendingCompany), this);
    tester_ = new QLineEdit(qs(m.tester), this);
    calcMethod_ = new QComboBox(this);
    for (const char* text : kCalcMethods)
        calcMethod_->addItem(QString::fromUtf8(text));
    calcMethod_->setCurrentIndex(std::clamp(m.calcMethod, 0, 6));
    sampleType_ = new QComboBox(this);
    sampleType_->addItems({QStringLiteral("检测样品"), QStringLiteral("标准样品")});
    sampleType_->setCurrentIndex(d.sampleType == 1 ? 1 : 0);
    standardNumber_ = new QSpinBox(this);
    standardNumber_->setRange(0, 99);
    standardNumber_->setValue(d.standardLevel + 1);
    internalStd_ = number(this, d.internalStdAmount, 4);
    sampleAmount_ = number(this, d.sampleAmount, 4);
    pressure_ = number(this, m.ambientPressure, 2);
    temperature_ = number(this, m.ambientTemperature, 2);
    gasVolume_ = number(this, m.gasVolume, 3);
    oilVolume_ = number(this, m.oilVolume, 3);
    linkedFile_ = new QLineEdit(qs(d.linkedFile), this);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    otherChannel_ = new QPushButton(QString::fromUtf8(kOtherChannelButton), this);
    connect(browse, &QPushButton::clicked, this, &CSampleInfoDlg::browseLinked);
    connect(otherChannel_, &QPushButton::clicked, this, [this] {
        const std::string other = otherChannelFile(ss(pathName_));
        if (!other.empty())
            linkedFile_->setText(qs(other));
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("进样时间"), injectionTime_);
    form->addRow(QStringLiteral("设备编号"), deviceNo_);
    form->addRow(QStringLiteral("出厂序号"), serialNo_);
    auto* note = new QLabel(QString::fromUtf8(kSerialNote), this);
    note->setWordWrap(true);
    form->addRow(QString(), note);
    form->addRow(QStringLiteral("送样公司"), sendingCompany_);
    form->addRow(QStringLiteral("检测人"), tester_);
    form->addRow(QStringLiteral("实 验  方 法:"), calcMethod_);
    form->addRow(QStringLiteral("样品类型"), sampleType_);
    form->addRow(QStringLiteral("标样号"), standardNumber_);
    form->addRow(QStringLiteral("内   标   量:"), internalStd_);
    form->addRow(QStringLiteral("样 品  重 量:"), sampleAmount_);
    form->addRow(QStringLiteral("环境压力(kPa)"), pressure_);
    form->addRow(QStringLiteral("环境温度(℃)"), temperature_);
    form->addRow(QStringLiteral("脱出气体体积(mL)"), gasVolume_);
    form->addRow(QStringLiteral("油 样  体 积:"), oilVolume_);
    auto* linkedRow = new QHBoxLayout;
    linkedRow->addWidget(linkedFile_);
    linkedRow->addWidget(browse);
    form->addRow(QStringLiteral("关联文件"), linkedRow);
    form->addRow(QString(), otherChannel_);

    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CSampleInfoDlg::browseLinked()
{
    const QString start = linkedFile_->text().isEmpty() ? QFileInfo(pathName_).absolutePath()
                                                        : linkedFile_->text();
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("关联文件"), start,
                                                        QStringLiteral("*.chg"));
    if (!chosen.isEmpty())
        linkedFile_->setText(chosen);
}

void CSampleInfoDlg::writeBack(CChrEDoc& doc) const
{
    ChromatogramData& d = doc.data;
    AnalysisMethod& m = d.method;
    m.deviceNo = ss(deviceNo_->text());
    m.serialNo = ss(serialNo_->text());
    m.sendingCompany = ss(sendingCompany_->text());
    m.tester = ss(tester_->text());
    m.calcMethod = calcMethod_->currentIndex();
    d.sampleType = sampleType_->currentIndex();
    d.standardLevel = standardNumber_->value() - 1;
    d.internalStdAmount = internalStd_->value();
    d.sampleAmount = sampleAmount_->value();
    m.ambientPressure = pressure_->value();
    m.ambientTemperature = temperature_->value();
    m.gasVolume = gasVolume_->value();
    m.oilVolume = oilVolume_->value();
    d.linkedFile = ss(linkedFile_->text());
}

}  // namespace dgaws
