#pragma once

#include "processing/ManualEventTable.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace dgaws {

class OperatorPrompts;

// "手动积分事件表": the manual events of a method, with deleting one or all of them and
// the switch that replays them after each detection. It works on a copy; only "确定(&O)"
// hands the rows back.
class ManualEventDialog : public QDialog {
    Q_OBJECT
public:
    ManualEventDialog(const AnalysisMethod& method, OperatorPrompts& prompts,
                      QWidget* parent = nullptr);

    // The rows and the switch as the operator left them, into the method.
    void commitTo(AnalysisMethod& method) const;

    QTableWidget* list() const { return list_; }
    QCheckBox* replay() const { return replay_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* clearButton() const { return clear_; }

private:
    void fill();

    ManualEventTable table_;
    OperatorPrompts& prompts_;
    QTableWidget* list_;
    QCheckBox* replay_;
    QPushButton* delete_;
    QPushButton* clear_;
};

}  // namespace dgaws
