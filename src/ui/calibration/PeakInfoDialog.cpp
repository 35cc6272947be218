#include "ui/calibration/PeakInfoDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/methods/MethodPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace dgaws {

namespace {

QString threeDecimals(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%1.3f", value);
    return QString::fromUtf8(text);
}

}  // namespace

UpdateRTimeDialog::UpdateRTimeDialog(QWidget* parent)
    : QDialog(parent), change_(new QPushButton(QStringLiteral("需要(&O)"), this)),
      keep_(new QPushButton(QStringLiteral("不需要(&N)"), this)),
      remember_(new QCheckBox(QStringLiteral("记住这次选择，下次不要问我(&R)"), this))
{
    setWindowTitle(qs(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("需要强制更改组份表中该组份的保留时间，"), this));
    layout->addWidget(new QLabel(QStringLiteral("来适应您手动指定的峰吗？"), this));
    layout->addWidget(remember_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(change_);
    buttons->addWidget(keep_);
    layout->addLayout(buttons);
    change_->setDefault(true);
    connect(change_, &QPushButton::clicked, this, [this] {
        changeChosen_ = true;
        QDialog::accept();
    });
    connect(keep_, &QPushButton::clicked, this, [this] {
        changeChosen_ = false;
        QDialog::accept();
    });
}

UpdateRTimeAnswer UpdateRTimeDialog::answer() const
{
    return {changeChosen_, remember_->isChecked()};
}

PeakInfoDialog::PeakInfoDialog(PeakInfoContext context, int peakIndex, RetentionTimePrompt& prompt,
                               OperatorPrompts& prompts, QWidget* parent)
    : QDialog(parent), editor_(std::move(context), peakIndex), prompt_(prompt), prompts_(prompts),
      retentionTime_(new QLineEdit(this)), component_(new QComboBox(this)),
      number_(new QLabel(this)), window_(new QLineEdit(this)),
      addNew_(new QCheckBox(QStringLiteral("添加新组份到组份表"), this))
{
    setWindowTitle(qs(kCaption));
    const PeakInfoFields f = editor_.fields();
    retentionTime_->setText(qs(f.retentionTime));
    retentionTime_->setProperty("fieldLabel", QStringLiteral("保留时间"));
    window_->setProperty("fieldLabel", QStringLiteral("时间窗带"));

    auto* peakBox = new QGroupBox(QStringLiteral("峰信息"), this);
    auto* grid = new QGridLayout(peakBox);
    const std::pair<const char*, std::string> shown[] = {
        {"峰起点:", f.startTime},     {"峰止点:", f.endTime},   {"峰顶点:", f.apexTime},
        {"峰  高:", f.height},        {"峰面积:", f.area},      {"峰类型:", f.type},
        {"百分含量:", f.areaPercent}, {"半峰宽:", f.halfWidth}, {"拖尾因子:", f.tailingFactor},
        {"分离度:", f.resolution},    {"理论塔板:", f.plates},
    };
    grid->addWidget(new QLabel(QStringLiteral("峰  号:"), peakBox), 0, 0);
    grid->addWidget(new QLabel(qs(f.number), peakBox), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("保留时间:"), peakBox), 0, 2);
    grid->addWidget(retentionTime_, 0, 3);
    int i = 2;
    for (const auto& [label, value] : shown) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), peakBox), i / 2, (i % 2) * 2);
        auto* v = new QLabel(qs(value), peakBox);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(v, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    grid->setColumnMinimumWidth(1, 120);
    grid->setColumnMinimumWidth(3, 120);

    component_->setEditable(true);
    component_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& name : editor_.componentChoices())
        component_->addItem(qs(name));
    component_->setCurrentIndex(editor_.selectedChoice());
    if (editor_.selectedChoice() < 0)
        component_->setEditText(QString());
    connect(component_, &QComboBox::activated, this, [this](int index) {
        double time = 0.0;
        InputProblem ignored;
        if (!readNumber(retentionTime_, time, ignored))
            time = editor_.peak().retentionTime;
        const std::string refusal = editor_.choose(index, time);
        if (!refusal.empty()) {
            prompts_.message(qs(refusal));
            component_->setCurrentIndex(-1);
            component_->setEditText(QString());
        }
        showChoice();
    });
    connect(addNew_, &QCheckBox::toggled, this, [this](bool on) { editor_.setAddNew(on); });

    auto* componentBox = new QGroupBox(QStringLiteral("组份信息"), this);
    auto* form = new QFormLayout(componentBox);
    form->addRow(QStringLiteral("组份名:"), component_);
    form->addRow(QStringLiteral("组份号:"), number_);
    form->addRow(QStringLiteral("时间窗带:"), window_);
    form->addRow(QString(), addNew_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(peakBox);
    layout->addWidget(componentBox);
    layout->addWidget(okCancelButtons(this));
    showChoice();
}

void PeakInfoDialog::showChoice()
{
    number_->setText(QString::number(editor_.shownComponentNumber()));
    window_->setText(threeDecimals(editor_.shownTimeWindow()));
    const QSignalBlocker block(addNew_);
    addNew_->setChecked(editor_.addNewTicked());
}

void PeakInfoDialog::accept()
{
    double time = 0.0;
    double window = 0.0;
    InputProblem problem;
    if (!readNumber(retentionTime_, time, problem) || !readNumber(window_, window, problem)) {
        prompts_.message(problem.message);
        problem.field->setFocus();
        return;
    }
    const PeakInfoResult result = editor_.accept(
        ss(component_->currentText().trimmed()), time, window, prompt_,
        [this](const std::string& q) { return prompts_.askYesNo(qs(q)); },
        [this] {
            UpdateRTimeDialog ask(this);
            ask.exec();
            return ask.answer();
        });
    // The two refusals change nothing: the operator corrects the choice and tries again.
    if (result.evaluateMask == 0 && !result.message.empty() && result.saveError.empty()) {
        prompts_.message(qs(result.message));
        component_->setFocus();
        return;
    }
    result_ = result;
    QDialog::accept();
}

}  // namespace dgaws
