#pragma once

#include "ui/methods/MethodPage.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace dgaws {

class OperatorPrompts;
struct ChromatogramData;
struct IntegrationProposal;

// One row of the time program: its time, bunch size, slope and event.
class TimeEventDialog : public QDialog {
    Q_OBJECT
public:
    explicit TimeEventDialog(const TimeEvent& row, QWidget* parent = nullptr);

    void accept() override;
    // The row as edited; valid once the dialog was accepted.
    const TimeEvent& row() const { return row_; }
    // Where a refusal is shown.
    void setPrompts(OperatorPrompts* prompts) { prompts_ = prompts; }

    QLineEdit* time() const { return time_; }
    QLineEdit* peakWidth() const { return peakWidth_; }
    QLineEdit* slope() const { return slope_; }
    QComboBox* type() const { return type_; }

private:
    TimeEvent row_;
    OperatorPrompts* prompts_ = nullptr;
    QLineEdit* time_;
    QLineEdit* peakWidth_;
    QLineEdit* slope_;
    QComboBox* type_;
};

// "积分参数": the detection parameters, the time program and the manual event switch.
class CPP_DetectParaDlg : public MethodPage {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "积分参数";

    explicit CPP_DetectParaDlg(OperatorPrompts& prompts, QWidget* parent = nullptr);

    QString caption() const override { return QString::fromUtf8(kCaption); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

    // The row goes in by its time, as the add button's dialog puts it; returns its position.
    int addTimeEvent(const TimeEvent& row);

    // The chromatogram "建议积分参数" reads, with the divisor its areas are measured with;
    // it must outlive the page. Without one the button is disabled.
    void setProposalSource(const ChromatogramData* chromatogram, int divisor);
    // Fills the proposed fields from the source and says what they came from; they take
    // effect, like any typed value, with the sheet's OK.
    void suggestParameters();

    QLineEdit* peakWidth() const { return peakWidth_; }
    QLineEdit* slope() const { return slope_; }
    QLineEdit* stopTime() const { return stopTime_; }
    QLineEdit* lockTime() const { return lockTime_; }
    QLineEdit* timeDoubling() const { return timeDoubling_; }
    QLineEdit* minArea() const { return minArea_; }
    QLineEdit* minHeight() const { return minHeight_; }
    QLineEdit* smoothWidth() const { return smoothWidth_; }
    QLineEdit* judgeWidth() const { return judgeWidth_; }
    QLineEdit* heightRatio() const { return heightRatio_; }
    QCheckBox* timeProgramSwitch() const { return useProgram_; }
    QTableWidget* timeProgram() const { return program_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* editButton() const { return edit_; }
    QCheckBox* manualEventSwitch() const { return useManual_; }
    QPushButton* manualEventsButton() const { return manualEvents_; }
    QPushButton* signalControlButton() const { return signalControl_; }
    QPushButton* suggestButton() const { return suggest_; }
    QLabel* proposalFigures() const { return figures_; }

private:
    void fillProgram();
    void enableControls();
    void editRow(int row);
    void editSignalControl();
    void showProposal(const IntegrationProposal& proposal);

    OperatorPrompts& prompts_;
    double riderRatio_ = 10.0;
    std::vector<TimeEvent> rows_;
    std::vector<ManualEvent> manualRows_;
    ListDBlock signalControlRows_;
    QLineEdit* peakWidth_;
    QLineEdit* slope_;
    QLineEdit* stopTime_;
    QLineEdit* lockTime_;
    QLineEdit* timeDoubling_;
    QLineEdit* minArea_;
    QLineEdit* minHeight_;
    QLineEdit* smoothWidth_;
    QLineEdit* judgeWidth_;
    QLineEdit* heightRatio_;
    QCheckBox* useProgram_;
    QTableWidget* program_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* edit_;
    QCheckBox* useManual_;
    QPushButton* manualEvents_;
    QPushButton* signalControl_;
    QPushButton* suggest_;
    QLabel* figures_;
    const ChromatogramData* source_ = nullptr;
    int areaDivisor_ = 20;
};

}  // namespace dgaws
