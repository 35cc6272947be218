#include "ui/records/SampleInfoDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include "app/CChrEDoc.h"
#include "app/ChannelFileName.h"

#include <QComboBox>
#include <QCompleter>
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

SampleInfoDialog::SampleInfoDialog(const CChrEDoc& doc, QWidget* parent)
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
    // A blank baseline or another kind of sample keeps its own entry, so that OK does not
    // turn it into a test sample.
    if (d.sampleType != 0 && d.sampleType != 1)
        sampleType_->addItem(d.sampleType == 2 ? QStringLiteral("基线")
                                               : QStringLiteral("其他样品"));
    sampleType_->setCurrentIndex(d.sampleType == 0 || d.sampleType == 1 ? d.sampleType : 2);
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
    connect(browse, &QPushButton::clicked, this, &SampleInfoDialog::browseLinked);
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
    shown_ = current();
}

SampleInfoDialog::Values SampleInfoDialog::current() const
{
    return {deviceNo_->text(),           serialNo_->text(),
            sendingCompany_->text(),     tester_->text(),
            linkedFile_->text(),         calcMethod_->currentIndex(),
            sampleType_->currentIndex(), standardNumber_->value(),
            internalStd_->value(),       sampleAmount_->value(),
            pressure_->value(),          temperature_->value(),
            gasVolume_->value(),         oilVolume_->value()};
}

void SampleInfoDialog::browseLinked()
{
    const QString start =
        linkedFile_->text().isEmpty() ? QFileInfo(pathName_).absolutePath() : linkedFile_->text();
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("关联文件"), start,
                                                        QStringLiteral("*.chg"));
    if (!chosen.isEmpty())
        linkedFile_->setText(chosen);
}

void SampleInfoDialog::offerKnownNames(const QStringList& companies, const QStringList& devices)
{
    const auto offer = [](QLineEdit* edit, QStringList names) {
        names.removeDuplicates();
        auto* completer = new QCompleter(names, edit);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        edit->setCompleter(completer);
    };
    offer(sendingCompany_, companies);
    offer(deviceNo_, devices);
}

void SampleInfoDialog::writeBack(CChrEDoc& doc) const
{
    // Only what the operator changed is taken: a widget cannot hold every stored value
    // exactly (rounded decimals, clamped ranges, a sample type it does not offer), and
    // looking at a record must not alter it.
    const Values now = current();
    const auto take = [](auto& field, const auto& edited, const auto& shown, auto convert) {
        if (edited != shown)
            field = convert(edited);
    };
    const auto text = [](const QString& t) { return ss(t); };
    const auto same = [](auto v) { return v; };
    ChromatogramData& d = doc.data;
    AnalysisMethod& m = d.method;
    take(m.deviceNo, now.deviceNo, shown_.deviceNo, text);
    take(m.serialNo, now.serialNo, shown_.serialNo, text);
    take(m.sendingCompany, now.sendingCompany, shown_.sendingCompany, text);
    take(m.tester, now.tester, shown_.tester, text);
    take(d.linkedFile, now.linkedFile, shown_.linkedFile, text);
    take(m.calcMethod, now.calcMethod, shown_.calcMethod, same);
    // The extra entry of a sample type the list does not offer stands for the stored value.
    if (now.sampleType != shown_.sampleType && now.sampleType <= 1)
        d.sampleType = now.sampleType;
    take(d.standardLevel, now.standardNumber, shown_.standardNumber,
         [](int shownNumber) { return shownNumber - 1; });
    take(d.internalStdAmount, now.internalStd, shown_.internalStd, same);
    take(d.sampleAmount, now.sampleAmount, shown_.sampleAmount, same);
    take(m.ambientPressure, now.pressure, shown_.pressure, same);
    take(m.ambientTemperature, now.temperature, shown_.temperature, same);
    take(m.gasVolume, now.gasVolume, shown_.gasVolume, same);
    take(m.oilVolume, now.oilVolume, shown_.oilVolume, same);
}

}  // namespace dgaws
