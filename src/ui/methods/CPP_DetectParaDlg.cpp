#include "ui/methods/CPP_DetectParaDlg.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/graph/ManualEventDialog.h"

#include "processing/IntegrationProposal.h"
#include "processing/TimeEventType.h"
#include "processing/TimeProgramRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace dgaws {

namespace {

QString formatted(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromUtf8(text);
}

// "采集信号控制": a list the method keeps for the acquisition; detection does not read it.
// Each row is a key and four values, edited as they are stored.
class SignalControlDialog : public QDialog {
public:
    SignalControlDialog(const ListDBlock& rows, OperatorPrompts& prompts, QWidget* parent)
        : QDialog(parent), rows_(rows), prompts_(prompts), table_(new QTableWidget(this))
    {
        setWindowTitle(QStringLiteral("采集信号控制"));
        resize(520, 320);
        table_->setColumnCount(5);
        table_->setHorizontalHeaderLabels({QStringLiteral("键"), QStringLiteral("值1"),
                                           QStringLiteral("值2"), QStringLiteral("值3"),
                                           QStringLiteral("值4")});
        table_->verticalHeader()->setVisible(false);
        for (const ListDEntry& e : rows_.entries)
            appendRow(e);
        auto* add = new QPushButton(QStringLiteral("增加(&A)"), this);
        auto* remove = new QPushButton(QStringLiteral("删除(&D)"), this);
        connect(add, &QPushButton::clicked, this, [this] { appendRow({}); });
        connect(remove, &QPushButton::clicked, this, [this] {
            if (table_->currentRow() >= 0)
                table_->removeRow(table_->currentRow());
        });
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(tableWithSideButtons(table_, add, remove));
        layout->addWidget(okCancelButtons(this));
    }

    void accept() override
    {
        std::vector<ListDEntry> entries;
        for (int r = 0; r < table_->rowCount(); ++r) {
            ListDEntry e;
            bool ok = true;
            const auto cell = [&](int c) {
                bool cellOk = false;
                const QString text = table_->item(r, c) ? table_->item(r, c)->text() : QString();
                const double v = text.trimmed().toDouble(&cellOk);
                if (!cellOk && ok) {
                    ok = false;
                    table_->setCurrentCell(r, c);
                }
                return v;
            };
            e.dKey = static_cast<int>(cell(0));
            e.d1 = cell(1);
            e.d2 = cell(2);
            e.d3 = cell(3);
            e.d4 = cell(4);
            if (!ok) {
                prompts_.message(QStringLiteral("第%1行必须是数字。").arg(r + 1));
                table_->setFocus();
                return;
            }
            entries.push_back(e);
        }
        rows_.entries = entries;
        QDialog::accept();
    }

    const ListDBlock& rows() const { return rows_; }

private:
    void appendRow(const ListDEntry& e)
    {
        const int r = table_->rowCount();
        table_->insertRow(r);
        const double values[] = {static_cast<double>(e.dKey), e.d1, e.d2, e.d3, e.d4};
        for (int c = 0; c < 5; ++c)
            table_->setItem(r, c, new QTableWidgetItem(QString::number(values[c], 'g', 15)));
    }

    ListDBlock rows_;
    OperatorPrompts& prompts_;
    QTableWidget* table_;
};

}  // namespace

TimeEventDialog::TimeEventDialog(const TimeEvent& row, QWidget* parent)
    : QDialog(parent), row_(row), time_(new QLineEdit(this)), peakWidth_(new QLineEdit(this)),
      slope_(new QLineEdit(this)), type_(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("时间程序"));
    auto* form = new QFormLayout;
    time_->setProperty("fieldLabel", QStringLiteral("时间"));
    peakWidth_->setProperty("fieldLabel", QStringLiteral("半峰宽"));
    slope_->setProperty("fieldLabel", QStringLiteral("斜率"));
    form->addRow(QStringLiteral("时间(分):"), time_);
    form->addRow(QStringLiteral("半峰宽:"), peakWidth_);
    form->addRow(QStringLiteral("斜率:"), slope_);
    form->addRow(QStringLiteral("时间事件:"), type_);
    for (int t = 0; t < TimeEventType::Count; ++t)
        type_->addItem(qs(timeEventTypeText(t)));
    time_->setText(formatted("%1.3f", row.time));
    showInteger(peakWidth_, row.peakWidth);
    showNumber(slope_, row.slope);
    // A stored type outside the list keeps its number unless the operator picks another.
    type_->setCurrentIndex(row.type >= 0 && row.type < TimeEventType::Count ? row.type : -1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

void TimeEventDialog::accept()
{
    TimeEvent edited = row_;
    InputProblem problem;
    if (!readNumber(time_, edited.time, problem) ||
        !readInteger(peakWidth_, 1, edited.peakWidth, problem) ||
        !readNumber(slope_, edited.slope, problem)) {
        if (prompts_)
            prompts_->message(problem.message);
        problem.field->setFocus();
        return;
    }
    if (edited.time < 0.0) {
        if (prompts_)
            prompts_->message(QStringLiteral("时间不能小于0。"));
        time_->setFocus();
        return;
    }
    if (type_->currentIndex() >= 0)
        edited.type = type_->currentIndex();
    row_ = edited;
    QDialog::accept();
}

CPP_DetectParaDlg::CPP_DetectParaDlg(OperatorPrompts& prompts, QWidget* parent)
    : MethodPage(parent), prompts_(prompts)
{
    auto* params = new QGroupBox(QStringLiteral("积分参数"), this);
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    peakWidth_ = addNumberField(left, "半  峰  宽:", params);
    slope_ = addNumberField(left, "斜      率:", params);
    minArea_ = addNumberField(left, "最小峰面积:", params);
    minHeight_ = addNumberField(left, "最小 峰 高:", params);
    heightRatio_ = addNumberField(left, "峰 高 比:", params);
    stopTime_ = addNumberField(right, "停止时间：", params);
    lockTime_ = addNumberField(right, "锁定时间：", params);
    timeDoubling_ = addNumberField(right, "时间变倍:", params);
    smoothWidth_ = addNumberField(right, "平滑 宽 度:", params);
    judgeWidth_ = addNumberField(right, "判峰宽度:", params);
    suggest_ = new QPushButton(QStringLiteral("建议积分参数"), params);
    suggest_->setEnabled(false);
    figures_ = new QLabel(params);
    figures_->setWordWrap(true);
    connect(suggest_, &QPushButton::clicked, this, &CPP_DetectParaDlg::suggestParameters);
    auto* fields = new QHBoxLayout;
    fields->addLayout(left);
    fields->addSpacing(24);
    fields->addLayout(right);
    auto* proposal = new QHBoxLayout;
    proposal->addWidget(suggest_, 0, Qt::AlignTop);
    proposal->addWidget(figures_, 1);
    auto* paramLayout = new QVBoxLayout(params);
    paramLayout->addLayout(fields);
    paramLayout->addLayout(proposal);

    useProgram_ = new QCheckBox(QStringLiteral("启用时间程序"), this);
    program_ = new QTableWidget(this);
    program_->setColumnCount(4);
    program_->setHorizontalHeaderLabels({QStringLiteral("时间 "), QStringLiteral("半峰宽"),
                                         QStringLiteral("斜率  "),
                                         QStringLiteral("时间事件              ")});
    program_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    program_->setSelectionBehavior(QAbstractItemView::SelectRows);
    program_->setSelectionMode(QAbstractItemView::SingleSelection);
    program_->verticalHeader()->setVisible(false);
    program_->horizontalHeader()->setStretchLastSection(true);
    program_->setMinimumHeight(150);
    add_ = new QPushButton(QStringLiteral("增加(&A)"), this);
    delete_ = new QPushButton(QStringLiteral("删除(&D)"), this);
    edit_ = new QPushButton(QStringLiteral("编辑(&E)"), this);
    useManual_ = new QCheckBox(QStringLiteral("使用手动积分事件表(&U)"), this);
    manualEvents_ = new QPushButton(QStringLiteral("手动积分事件"), this);
    signalControl_ = new QPushButton(QStringLiteral("采集信号控制"), this);

    connect(useProgram_, &QCheckBox::toggled, this, &CPP_DetectParaDlg::enableControls);
    connect(useManual_, &QCheckBox::toggled, this, &CPP_DetectParaDlg::enableControls);
    connect(add_, &QPushButton::clicked, this, [this] { editRow(-1); });
    connect(edit_, &QPushButton::clicked, this, [this] {
        if (program_->currentRow() >= 0)
            editRow(program_->currentRow());
    });
    connect(program_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { editRow(row); });
    connect(delete_, &QPushButton::clicked, this, [this] {
        const int row = program_->currentRow();
        if (row < 0 || row >= static_cast<int>(rows_.size()))
            return;
        rows_.erase(rows_.begin() + row);
        fillProgram();
    });
    connect(manualEvents_, &QPushButton::clicked, this, [this] {
        AnalysisMethod shown;
        shown.manualEvents = manualRows_;
        shown.useManualEvents = useManual_->isChecked();
        ManualEventDialog dialog(shown, prompts_, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        dialog.commitTo(shown);
        manualRows_ = shown.manualEvents;
        useManual_->setChecked(shown.useManualEvents);
    });
    connect(signalControl_, &QPushButton::clicked, this, &CPP_DetectParaDlg::editSignalControl);

    auto* programBox = new QGroupBox(QStringLiteral("时间程序"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addWidget(edit_);
    buttons->addStretch();
    auto* programRow = new QHBoxLayout;
    programRow->addWidget(program_);
    programRow->addLayout(buttons);
    auto* programLayout = new QVBoxLayout(programBox);
    programLayout->addWidget(useProgram_);
    programLayout->addLayout(programRow);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(useManual_);
    bottom->addWidget(manualEvents_);
    bottom->addStretch();
    bottom->addWidget(signalControl_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addWidget(programBox, 1);
    layout->addLayout(bottom);
}

void CPP_DetectParaDlg::load(const AnalysisMethod& method)
{
    const IntegrationParams& p = method.integration;
    showInteger(peakWidth_, p.peakWidth);
    showNumber(slope_, p.slope);
    showNumber(stopTime_, p.stopTime);
    showNumber(lockTime_, p.lockTime);
    showNumber(timeDoubling_, p.timeDoubling);
    showNumber(minArea_, p.minArea);
    showNumber(minHeight_, p.minHeight);
    showInteger(smoothWidth_, p.smoothWidth);
    showInteger(judgeWidth_, p.judgeWidth);
    showNumber(heightRatio_, p.heightRatio);
    riderRatio_ = p.riderRatio;
    rows_ = method.timeProgram;
    manualRows_ = method.manualEvents;
    signalControlRows_ = method.listD;
    useProgram_->setChecked(method.timeProgramEnabled);
    useManual_->setChecked(method.useManualEvents);
    fillProgram();
    enableControls();
}

bool CPP_DetectParaDlg::store(AnalysisMethod& method, InputProblem& problem) const
{
    IntegrationParams p;
    // The detector divides by the smoothing width and reads five classes of history.
    if (!readInteger(peakWidth_, 1, p.peakWidth, problem) ||
        !readNumber(slope_, p.slope, problem) || !readNumber(minArea_, p.minArea, problem) ||
        !readNumber(minHeight_, p.minHeight, problem) ||
        !readNumber(heightRatio_, p.heightRatio, problem) ||
        !readNumber(stopTime_, 0.0, IntegrationParams::kLongestStopTime, p.stopTime, problem) ||
        !readNumber(lockTime_, p.lockTime, problem) ||
        !readNumber(timeDoubling_, p.timeDoubling, problem) ||
        !readInteger(smoothWidth_, 1, p.smoothWidth, problem) ||
        !readInteger(judgeWidth_, 5, p.judgeWidth, problem))
        return false;
    p.riderRatio = riderRatio_;
    method.integration = p;
    method.timeProgramEnabled = useProgram_->isChecked();
    method.timeProgram = rows_;
    method.useManualEvents = useManual_->isChecked();
    method.manualEvents = manualRows_;
    method.listD = signalControlRows_;
    return true;
}

int CPP_DetectParaDlg::addTimeEvent(const TimeEvent& row)
{
    const int at = static_cast<int>(insertTimeEvent(rows_, row));
    fillProgram();
    program_->selectRow(at);
    return at;
}

void CPP_DetectParaDlg::setProposalSource(const ChromatogramData* chromatogram, int divisor)
{
    source_ = chromatogram;
    areaDivisor_ = divisor;
    suggest_->setEnabled(chromatogram != nullptr && chromatogram->signal.count() > 0);
}

void CPP_DetectParaDlg::suggestParameters()
{
    if (!source_ || source_->signal.count() == 0)
        return;
    const IntegrationProposal proposal = proposeIntegration(*source_, areaDivisor_);
    const IntegrationParams& p = proposal.params;
    showInteger(peakWidth_, p.peakWidth);
    showNumber(slope_, p.slope);
    showInteger(smoothWidth_, p.smoothWidth);
    showNumber(minArea_, p.minArea);
    showNumber(minHeight_, p.minHeight);
    showNumber(lockTime_, p.lockTime);
    showNumber(timeDoubling_, p.timeDoubling);
    showProposal(proposal);
}

// The figures the proposal came from, in the signal's own units.
void CPP_DetectParaDlg::showProposal(const IntegrationProposal& proposal)
{
    const auto g = [](double v) { return QString::number(v, 'g', 4); };
    QString text = QStringLiteral("噪声 %1，漂移 %2/分").arg(g(proposal.noise), g(proposal.drift));
    if (proposal.peakFound)
        text += QStringLiteral("；最窄峰半峰宽 %1 分（%2 点），在 %3 分")
                    .arg(g(proposal.narrowestHalfWidth), g(proposal.narrowestSamples),
                         QString::number(proposal.narrowestAt, 'f', 3));
    else
        text += QStringLiteral("；没有高出噪声 %1 倍的峰，半峰宽和平滑宽度未改")
                    .arg(g(kSignificantHeight));
    if (proposal.disturbedStart)
        text += QStringLiteral("；起始扰动，锁定至 %1 分")
                    .arg(QString::number(proposal.params.lockTime, 'f', 3));
    figures_->setText(text + QStringLiteral("。"));
}

void CPP_DetectParaDlg::editRow(int row)
{
    const bool adding = row < 0 || row >= static_cast<int>(rows_.size());
    TimeEventDialog dialog(adding ? newTimeEvent() : rows_[static_cast<size_t>(row)], this);
    dialog.setPrompts(&prompts_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (adding) {
        addTimeEvent(dialog.row());
        return;
    }
    const int at =
        static_cast<int>(replaceTimeEvent(rows_, static_cast<size_t>(row), dialog.row()));
    fillProgram();
    program_->selectRow(at);
}

void CPP_DetectParaDlg::editSignalControl()
{
    SignalControlDialog dialog(signalControlRows_, prompts_, this);
    if (dialog.exec() == QDialog::Accepted)
        signalControlRows_ = dialog.rows();
}

void CPP_DetectParaDlg::fillProgram()
{
    program_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const TimeEvent& e = rows_[static_cast<size_t>(r)];
        program_->setItem(r, 0, new QTableWidgetItem(formatted("%1.3f", e.time)));
        program_->setItem(r, 1, new QTableWidgetItem(QString::number(e.peakWidth)));
        program_->setItem(r, 2, new QTableWidgetItem(formatted("%1.2f", e.slope)));
        program_->setItem(r, 3, new QTableWidgetItem(qs(timeEventTypeText(e.type))));
    }
}

void CPP_DetectParaDlg::enableControls()
{
    const bool program = useProgram_->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(program_), static_cast<QWidget*>(add_),
                       static_cast<QWidget*>(delete_), static_cast<QWidget*>(edit_)})
        w->setEnabled(program);
    manualEvents_->setEnabled(useManual_->isChecked());
}

}  // namespace dgaws
