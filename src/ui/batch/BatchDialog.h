#pragma once

#include "app/BatchProcessing.h"

#include <QDialog>
#include <QElapsedTimer>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace dgaws {

class OperatorPrompts;
class WorkstationApp;

// "批处理谱图": many chromatograms processed again with one method and curve, on all cores,
// into an output folder and a summary file. The batch runs off the GUI thread; cancelling
// stops after the files in flight, which stay written whole, and completes the summary with
// the rows of the finished files. Closing while it runs asks, cancels and waits.
class BatchDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "批处理谱图";
    static constexpr const char* kOwnMethod = "各谱图自身的方法";
    static constexpr const char* kNoInput = "请添加要处理的谱图文件或文件夹。";
    static constexpr const char* kMissingInput = "找不到文件或文件夹：%1";
    static constexpr const char* kNothingFound = "所选的文件和文件夹中没有谱图文件（.chg、.dat）。";
    static constexpr const char* kNoOutput = "请选择处理后谱图的输出文件夹或汇总文件，至少一项。";
    static constexpr const char* kOutputFolderFailed = "无法建立输出文件夹%1：%2";
    static constexpr const char* kOverwritesInput =
        "输出文件夹会覆盖原谱图%1，请选择与输入不同的文件夹。";
    static constexpr const char* kSummaryKind = "汇总文件应为 .csv、.jsonl 或 .xlsx 文件。";
    static constexpr const char* kSummaryFailed = "无法写入汇总文件%1：%2";
    static constexpr const char* kMethodFailed = "无法读取方法文件%1：%2";
    static constexpr const char* kNoSuchCurve = "方法“%1”中没有校正曲线“%2”。";
    static constexpr const char* kAskCancel = "批处理正在进行，要取消并关闭吗？";
    static constexpr const char* kProgress = "已完成 %1 / %2 个谱图　%3 个/秒　剩余 %4";
    static constexpr const char* kCancelling = "正在取消，等待处理中的谱图完成……";
    static constexpr const char* kFinished = "已处理 %1 个谱图，失败 %2 个";
    static constexpr const char* kCancelled =
        "批处理已取消：完成 %1 / %2 个谱图，已处理 %3 个，失败 %4 个";
    static constexpr const char* kFinishedLog = "批处理谱图%1个：已处理%2个，失败%3个";
    static constexpr const char* kCancelledLog = "批处理谱图%1个时取消：已处理%2个，失败%3个";

    BatchDialog(WorkstationApp& app, OperatorPrompts& prompts, QWidget* parent = nullptr);
    ~BatchDialog() override;

    // Files and folders to process, as the add buttons add them.
    void addInputs(const QStringList& paths);
    bool running() const { return worker_.joinable(); }
    // The last batch that ended.
    const BatchOutcome& outcome() const { return outcome_; }

    QListWidget* inputList() const { return inputs_; }
    QCheckBox* recursiveBox() const { return recursive_; }
    QComboBox* methodBox() const { return method_; }
    QComboBox* curveBox() const { return curve_; }
    QLineEdit* outputEdit() const { return output_; }
    QLineEdit* summaryEdit() const { return summary_; }
    QSpinBox* jobsBox() const { return jobs_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* cancelButton() const { return cancel_; }
    QTableWidget* failureTable() const { return failures_; }
    QLabel* resultLabel() const { return result_; }

signals:
    // On a worker thread, after each file's summary rows are written; the dialog's own
    // display takes it queued on the GUI thread.
    void fileFinished(const dgaws::BatchProgress& progress);
    // On the GUI thread, once every worker thread has ended.
    void batchEnded();

public slots:
    void reject() override;

private:
    QWidget* makeInputs();
    QWidget* makeProcessing();
    QWidget* makeOutputs();
    QWidget* makeProgress();
    void fillCurves();
    void setRunning(bool running);
    // Checks every field, with the message and the focus on the first bad one.
    bool prepareRun();
    void startRun();
    void requestCancel();
    void showProgress(const BatchProgress& progress);
    void endRun(BatchOutcome outcome);
    bool refuse(QWidget* field, const QString& text);
    // Whether the dialog may go: not while running unless the operator cancels.
    bool mayClose();

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QListWidget* inputs_ = nullptr;
    QCheckBox* recursive_ = nullptr;
    QComboBox* method_ = nullptr;
    QComboBox* curve_ = nullptr;
    QLineEdit* output_ = nullptr;
    QLineEdit* summary_ = nullptr;
    QSpinBox* jobs_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* failures_ = nullptr;
    QLabel* result_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    QList<QWidget*> fields_;  // disabled while a batch runs

    // What the worker reads; the GUI thread leaves it alone until the worker has ended.
    std::vector<std::string> files_;
    BatchRequest request_;
    std::unique_ptr<SummaryWriter> summaryWriter_;
    std::atomic<bool> cancelRequested_{false};
    std::thread worker_;
    QElapsedTimer clock_;
    BatchOutcome outcome_;
    bool closeWhenEnded_ = false;
};

}  // namespace dgaws
