#include "ui/records/DiagnosisDialog.h"

#include "ui/records/InterpretationPanel.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"

#include "app/CChrEDoc.h"
#include "dga/DgaValues.h"
#include "dga/DuvalTriangle.h"
#include "dga/RateRecord.h"
#include "dga/StoredGasOrder.h"
#include "quant/ContentStatus.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <optional>

namespace dgaws {

namespace {

QString fixed4(double v)
{
    return QString::number(v, 'f', 4);
}

// The attention messages end in CR LF; a text field wants plain line ends.
QString plainLines(const std::string& text)
{
    QString t = qs(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QLineEdit* readOnlyField(QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

std::optional<size_t> rateSlotOf(size_t gasSlot)
{
    for (size_t r = 0; r < rate::Count; ++r)
        if (rate::kGasOf[r] == gasSlot)
            return r;
    return std::nullopt;
}

}  // namespace

DiagnosisDialog::DiagnosisDialog(CChrEDoc& doc, const DiagnosisView& view, OperatorPrompts& prompts,
                                 QWidget* parent)
    : QDialog(parent), doc_(doc), prompts_(prompts)
{
    setWindowTitle(QString::fromUtf8(kCaption));

    gases_ = new QTableWidget(this);
    gases_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gases_->verticalHeader()->hide();
    gases_->horizontalHeader()->setStretchLastSection(true);
    fillGases(view);
    auto* rateNote = new QLabel(qs(view.ratesNotComputed), this);
    rateNote->setVisible(!view.ratesNotComputed.empty());
    // Rates are only as good as the test they are counted from: it is named.
    previousTest_ =
        new QLabel(qs(kPreviousTestLabel) + QLatin1Char(' ') + qs(view.previousTest), this);
    previousTest_->setVisible(!view.previousTest.empty());

    total_ = readOnlyField(this);
    codes_ = readOnlyField(this);
    conclusion_ = readOnlyField(this);
    advice_ = new QPlainTextEdit(this);
    advice_->setReadOnly(true);

    auto* totalRow = new QHBoxLayout;
    totalRow->addWidget(total_);
    totalRow->addWidget(new QLabel(QStringLiteral("uL/L"), this));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("总烃含量:"), totalRow);
    form->addRow(QStringLiteral("三 比 值:"), codes_);
    form->addRow(QStringLiteral("故障类型:"), conclusion_);
    form->addRow(QStringLiteral("故障内容:"), advice_);

    // Further interpretations name a zone for every test with hydrocarbons, a normal one
    // too; below the attention values they are supplementary and say so, or the dialog
    // would read "no abnormality" beside a fault name.
    supplementary_ = new QGroupBox(QString::fromUtf8(kSupplementaryTitle), this);
    supplementaryLayout_ = new QVBoxLayout(supplementary_);
    supplementaryNote_ = new QLabel(QString::fromUtf8(kSupplementaryNote), supplementary_);
    supplementaryNote_->setWordWrap(true);
    supplementaryNote_->setVisible(!view.judgementOffered());
    supplementaryLayout_->addWidget(supplementaryNote_);
    auto* interpretations = new QFormLayout;
    duval_ = new QLabel(supplementary_);
    const std::optional<DuvalPoint> point = duvalPoint(doc.data);
    if (point)
        duval_->setText(QString::fromLatin1(duvalZoneCode(duvalZone(*point))) + QLatin1Char(' ') +
                        qs(duvalZoneName(duvalZone(*point))));
    else
        duval_->setText(QStringLiteral("无烃类气体，不能定位"));
    interpretations->addRow(QStringLiteral("Duval三角形:"), duval_);
    supplementaryLayout_->addLayout(interpretations);
    interpretations_ = new InterpretationPanel(
        KeyGases::of(doc.data), judgeLimits(doc.data, view.device, view.ratesComputed),
        supplementary_);
    supplementaryLayout_->addWidget(interpretations_);

    judge_ = new QPushButton(QString::fromUtf8(kJudgeButton), this);
    // The judgement only means something once an attention value was exceeded.
    judge_->setEnabled(view.judgementOffered());
    if (!view.judgementOffered())
        judge_->setToolTip(QString::fromUtf8(kJudgeUnavailable));
    record_ = new QPushButton(QString::fromUtf8(kRecordButton), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(judge_, QDialogButtonBox::ActionRole);
    buttons->addButton(record_, QDialogButtonBox::ActionRole);
    previewButton_ = new QPushButton(QString::fromUtf8(kPreviewButton), this);
    buttons->addButton(previewButton_, QDialogButtonBox::ActionRole);
    connect(previewButton_, &QPushButton::clicked, this, [this] {
        preview_ = true;
        accept();
    });
    databaseButton_ = new QPushButton(QString::fromUtf8(kDatabaseButton), this);
    buttons->addButton(databaseButton_, QDialogButtonBox::ActionRole);
    connect(databaseButton_, &QPushButton::clicked, this, &DiagnosisDialog::databaseRequested);
    buttons->addButton(QString::fromUtf8(kCloseButton), QDialogButtonBox::RejectRole);
    connect(judge_, &QPushButton::clicked, this, &DiagnosisDialog::judge);
    connect(record_, &QPushButton::clicked, this, &DiagnosisDialog::recordGasProductionData);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* results = new QVBoxLayout;
    results->addWidget(gases_);
    results->addWidget(rateNote);
    results->addWidget(previousTest_);
    results->addLayout(form);
    results->addWidget(supplementary_);
    auto* sides = new QHBoxLayout;
    sides->addLayout(results, 1);
    sides->addWidget(interpretations_->diagramGrid(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(buttons);
    resize(1180, 820);

    showView(view);
}

void DiagnosisDialog::fillGases(const DiagnosisView& view)
{
    const ChromatogramData& d = doc_.data;
    // Rates asked for but not computed keep their column, empty, beside the reason.
    const bool withRates = view.ratesComputed || !view.ratesNotComputed.empty();
    QStringList header{QStringLiteral("组份名"), QStringLiteral("油中含量(uL/L)")};
    if (withRates)
        header << QStringLiteral("绝对产气率(mL/d)");
    gases_->setColumnCount(static_cast<int>(header.size()));
    gases_->setHorizontalHeaderLabels(header);
    gases_->setRowCount(static_cast<int>(gas::Count));
    // A gas whose content could not be formed was not measured: its 0 is no "no gas".
    const GasNotes uncalibrated = uncalibratedGases(d, doc_.calibrationCurve(), doc_.linkedData);
    for (size_t g = 0; g < gas::Count; ++g) {
        const int row = static_cast<int>(g);
        gases_->setItem(row, 0, new QTableWidgetItem(qs(std::string(gas::kComponentNames[g]))));
        auto* content = new QTableWidgetItem(uncalibrated[g].empty() ? fixed4(d.gasInOil[g])
                                                                     : qs(kNotCalibratedText));
        content->setToolTip(qs(uncalibrated[g]));
        gases_->setItem(row, 1, content);
        if (!withRates)
            continue;
        // N2 and O2 have no production rate.
        const auto r = rateSlotOf(g);
        gases_->setItem(row, 2,
                        new QTableWidgetItem(
                            r && view.ratesComputed ? fixed4(d.working.gasRates[*r]) : QString()));
    }
    gases_->resizeColumnsToContents();
}

void DiagnosisDialog::showView(const DiagnosisView& view)
{
    const bool leavesOut =
        totalLeavesOutGases(uncalibratedGases(doc_.data, doc_.calibrationCurve(), doc_.linkedData));
    total_->setText(
        qs(view.totalHydrocarbons) +
        (leavesOut ? QStringLiteral(" (%1)").arg(qs(kWithoutUncalibratedText)) : QString()));
    codes_->setText(qs(view.ratioCodes));
    conclusion_->setText(qs(view.conclusion));
    advice_->setPlainText(plainLines(view.advice));
}

void DiagnosisDialog::judge()
{
    showView(judgeFromDialog(doc_.data));
    doc_.setModifiedFlag(true);
    changed_ = true;
}

void DiagnosisDialog::recordGasProductionData()
{
    const std::string own = doc_.pathName;
    const auto choose = [this, &own]() -> std::optional<std::string> {
        const QFileInfo info(qs(own.empty() ? std::string(CChrEDoc::kUnknownFileName) : own));
        const QString proposed =
            info.path() + QLatin1Char('/') + info.completeBaseName() + qs(kRateFileExtension);
        const auto chosen =
            prompts_.saveFile(QString::fromUtf8(kRecordCaption), proposed,
                              nameFiltersFromStored(kRateFileFilter), QStringLiteral("lcd"));
        if (!chosen)
            return std::nullopt;
        return ss(*chosen);
    };
    const auto say = [this](const std::string& text) {
        prompts_.message(qs(text), OperatorPrompts::Icon::Information);
    };
    // The current test becomes the previous one even when no file is written.
    dgaws::recordGasProductionData(doc_.data, own, choose, say);
    doc_.setModifiedFlag(true);
    changed_ = true;
}

}  // namespace dgaws
