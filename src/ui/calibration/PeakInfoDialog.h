#pragma once

#include "quant/PeakInfoEditor.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dgaws {

class OperatorPrompts;

// "更改该组份的保留时间？": change the component's retention time to the peak's, or not,
// and perhaps remember the answer.
class UpdateRTimeDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "更改该组份的保留时间？";

    explicit UpdateRTimeDialog(QWidget* parent = nullptr);
    UpdateRTimeAnswer answer() const;

    QPushButton* changeButton() const { return change_; }
    QPushButton* keepButton() const { return keep_; }
    QCheckBox* rememberBox() const { return remember_; }

private:
    QPushButton* change_;
    QPushButton* keep_;
    QCheckBox* remember_;
    bool changeChosen_ = false;
};

// "峰信息": one peak's measures and its component, assigned by hand, added as a new
// component, moved to the peak's time or deleted from the table.
class PeakInfoDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "峰信息";

    // `prompt` is the operator's standing answer to the retention-time question; it is
    // updated when the operator answers and ticks the box.
    PeakInfoDialog(PeakInfoContext context, int peakIndex, RetentionTimePrompt& prompt,
                   OperatorPrompts& prompts, QWidget* parent = nullptr);

    void accept() override;
    // What the accepted dialog changed, for the document to finish.
    const PeakInfoResult& result() const { return result_; }

    QLineEdit* retentionTime() const { return retentionTime_; }
    QComboBox* component() const { return component_; }
    QLabel* componentNumber() const { return number_; }
    QLineEdit* timeWindow() const { return window_; }
    QCheckBox* addNew() const { return addNew_; }

private:
    void showChoice();

    PeakInfoEditor editor_;
    RetentionTimePrompt& prompt_;
    OperatorPrompts& prompts_;
    PeakInfoResult result_;
    QLineEdit* retentionTime_;
    QComboBox* component_;
    QLabel* number_;
    QLineEdit* window_;
    QCheckBox* addNew_;
};

}  // namespace dgaws
