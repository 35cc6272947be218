#pragma once

#include "dga/DiagnoseCommand.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace dgaws {

class CChrEDoc;
class InterpretationPanel;
class OperatorPrompts;

// The diagnosis dialog: the gas contents in oil of the diagnosed document (with the gas
// production rates when the diagnosis computed them, or empty rates and why when it could
// not), the total hydrocarbons, and the attention status that the three-ratio judgement
// may replace by a fault type.
class DiagnosisDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "诊断报告";
    static constexpr const char* kJudgeButton = "三比值判定";
    static constexpr const char* kRecordButton = "记录产气数据";
    static constexpr const char* kCloseButton = "关闭(C)";
    static constexpr const char* kPreviewButton = "打印预览";
    static constexpr const char* kDatabaseButton = "查看数据库";
    static constexpr const char* kRecordCaption = "记录产气数据";
    static constexpr const char* kSupplementaryTitle = "其他判断方法（补充）";
    static constexpr const char* kSupplementaryNote =
        "各气体含量均未超过注意值，以下判断仅供参考，不表示设备存在故障。";
    static constexpr const char* kJudgeUnavailable =
        "各气体含量均未超过注意值，无需进行三比值判定。";

    // `doc` is the document the view was made from; the judgement and the record of the
    // gas production data change it.
    DiagnosisDialog(CChrEDoc& doc, const DiagnosisView& view, OperatorPrompts& prompts,
                    QWidget* parent = nullptr);

    // Whether the judgement or the record changed the document since the dialog opened.
    bool changedDocument() const { return changed_; }
    // Whether the dialog ended through "打印预览".
    bool previewRequested() const { return preview_; }

    QTableWidget* gasTable() const { return gases_; }
    QLineEdit* totalHydrocarbons() const { return total_; }
    QLineEdit* ratioCodes() const { return codes_; }
    QLineEdit* conclusion() const { return conclusion_; }
    QPlainTextEdit* advice() const { return advice_; }
    QPushButton* judgeButton() const { return judge_; }
    QPushButton* recordButton() const { return record_; }
    QPushButton* previewButton() const { return previewButton_; }
    QPushButton* databaseButton() const { return databaseButton_; }
    QLabel* duvalLabel() const { return duval_; }
    // The further interpretations: a box of their own, with a note when no attention value
    // is exceeded. Each method adds its rows or table to the layout.
    QGroupBox* supplementaryBox() const { return supplementary_; }
    QVBoxLayout* supplementaryLayout() const { return supplementaryLayout_; }
    QLabel* supplementaryNote() const { return supplementaryNote_; }
    InterpretationPanel* interpretations() const { return interpretations_; }
    // "上次实验:" and the previous test the rates were computed against; hidden without rates.
    QLabel* previousTestLabel() const { return previousTest_; }

    void judge();
    void recordGasProductionData();

signals:
    // "查看数据库": the view of the test's device is to be shown over the dialog.
    void databaseRequested();

private:
    void showView(const DiagnosisView& view);
    void fillGases(const DiagnosisView& view);

    CChrEDoc& doc_;
    OperatorPrompts& prompts_;
    bool changed_ = false;
    QTableWidget* gases_;
    QLineEdit* total_;
    QLineEdit* codes_;
    QLineEdit* conclusion_;
    QPlainTextEdit* advice_;
    QPushButton* judge_;
    QPushButton* record_;
    QPushButton* previewButton_;
    QPushButton* databaseButton_;
    QLabel* duval_;
    QGroupBox* supplementary_;
    QVBoxLayout* supplementaryLayout_;
    QLabel* supplementaryNote_;
    InterpretationPanel* interpretations_;
    QLabel* previousTest_;
    bool preview_ = false;
};

}  // namespace dgaws
