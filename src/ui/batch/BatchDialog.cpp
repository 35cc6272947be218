#include "ui/batch/BatchDialog.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"

#include "app/WorkstationApp.h"
#include "chromatogram/MethodFile.h"
#include "report/BatchSummary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace dgaws {

namespace {

QString clockText(double seconds)
{
    const long s = long(std::max(0.0, seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

// The reason without the file's path, which its own column shows; the whole text stays in
// the tooltip.
QString shownReason(const std::string& file, const std::string& error)
{
    const std::string read = "cannot read " + file + ": ";
    if (error.rfind(read, 0) == 0)
        return QStringLiteral("无法读取：") + qs(error.substr(read.size()));
    const std::string write = "cannot write ";
    if (error.rfind(write, 0) == 0)
        return QStringLiteral("无法写入") + qs(error.substr(write.size()));
    return qs(error);
}

void appendFailure(QTableWidget* table, const std::string& file, const std::string& error)
{
    const int row = table->rowCount();
    table->insertRow(row);
    auto* name = new QTableWidgetItem(QFileInfo(qs(file)).fileName());
    name->setToolTip(qs(file));
    table->setItem(row, 0, name);
    auto* reason = new QTableWidgetItem(shownReason(file, error));
    reason->setToolTip(qs(error));
    table->setItem(row, 1, reason);
}

}  // namespace

BatchDialog::BatchDialog(WorkstationApp& app, OperatorPrompts& prompts, QWidget* parent)
    : QDialog(parent), app_(app), prompts_(prompts)
{
    setWindowTitle(qs(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeInputs());
    layout->addWidget(makeProcessing());
    layout->addWidget(makeOutputs());
    layout->addWidget(makeProgress(), 1);

    start_ = new QPushButton(QStringLiteral("开始(&S)"), this);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    close_ = new QPushButton(QStringLiteral("关闭"), this);
    start_->setDefault(true);
    cancel_->setEnabled(false);
    connect(start_, &QPushButton::clicked, this, [this] {
        if (prepareRun())
            startRun();
    });
    connect(cancel_, &QPushButton::clicked, this, &BatchDialog::requestCancel);
    connect(close_, &QPushButton::clicked, this, &BatchDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    resize(720, 680);
}

BatchDialog::~BatchDialog()
{
    // Never leave threads working for a dialog that is gone.
    if (worker_.joinable()) {
        cancelRequested_ = true;
        worker_.join();
    }
}

QWidget* BatchDialog::makeInputs()
{
    auto* box = new QGroupBox(QStringLiteral("谱图文件和文件夹"), this);
    inputs_ = new QListWidget(box);
    inputs_->setObjectName(QStringLiteral("inputs"));
    inputs_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* addFiles = new QPushButton(QStringLiteral("添加文件(&F)..."), box);
    auto* addFolder = new QPushButton(QStringLiteral("添加文件夹(&D)..."), box);
    auto* remove = new QPushButton(QStringLiteral("移除(&R)"), box);
    recursive_ = new QCheckBox(QStringLiteral("包含子文件夹"), box);
    const QString folder = qs(app_.settings().ProjectPath);
    connect(addFiles, &QPushButton::clicked, this, [this, folder] {
        addInputs(prompts_.openFiles(
            QStringLiteral("添加谱图文件"), folder,
            {QStringLiteral("谱图文件 (*.chg *.dat)"), QStringLiteral("所有文件 (*)")}));
    });
    connect(addFolder, &QPushButton::clicked, this, [this, folder] {
        if (const auto chosen = prompts_.chooseFolder(QStringLiteral("添加谱图文件夹"), folder))
            addInputs({*chosen});
    });
    connect(remove, &QPushButton::clicked, this, [this] { qDeleteAll(inputs_->selectedItems()); });

    auto* side = new QVBoxLayout;
    side->addWidget(addFiles);
    side->addWidget(addFolder);
    side->addWidget(remove);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(inputs_, 1);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(row);
    layout->addWidget(recursive_);
    fields_ << inputs_ << addFiles << addFolder << remove << recursive_;
    return box;
}

QWidget* BatchDialog::makeProcessing()
{
    auto* box = new QGroupBox(QStringLiteral("处理"), this);
    method_ = new QComboBox(box);
    method_->setObjectName(QStringLiteral("method"));
    curve_ = new QComboBox(box);
    curve_->setObjectName(QStringLiteral("curve"));
    jobs_ = new QSpinBox(box);
    method_->addItem(qs(kOwnMethod), -1);
    const MethodLibrary& library = app_.library();
    for (size_t i = 0; i < library.size(); ++i)
        if (library.at(i).method.visible)
            method_->addItem(qs(library.at(i).method.name), static_cast<int>(i));
    connect(method_, &QComboBox::currentIndexChanged, this, &BatchDialog::fillCurves);
    fillCurves();
    jobs_->setRange(1, 256);
    jobs_->setMaximumWidth(jobs_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) * 3);
    jobs_->setValue(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));

    auto* layout = new QFormLayout(box);
    layout->addRow(QStringLiteral("分析方法："), method_);
    layout->addRow(QStringLiteral("校正曲线："), curve_);
    layout->addRow(QStringLiteral("线程数："), jobs_);
    fields_ << method_ << curve_ << jobs_;
    return box;
}

QWidget* BatchDialog::makeOutputs()
{
    auto* box = new QGroupBox(QStringLiteral("输出（至少选一项）"), this);
    output_ = new QLineEdit(box);
    output_->setObjectName(QStringLiteral("outputFolder"));
    summary_ = new QLineEdit(box);
    summary_->setObjectName(QStringLiteral("summaryFile"));
    auto* chooseOutput = new QPushButton(QStringLiteral("浏览..."), box);
    auto* chooseSummary = new QPushButton(QStringLiteral("浏览..."), box);
    connect(chooseOutput, &QPushButton::clicked, this, [this] {
        const QString start =
            output_->text().isEmpty() ? qs(app_.settings().ProjectPath) : output_->text();
        if (const auto chosen =
                prompts_.chooseFolder(QStringLiteral("处理后谱图的输出文件夹"), start))
            output_->setText(*chosen);
    });
    connect(chooseSummary, &QPushButton::clicked, this, [this] {
        const QString proposed = summary_->text().isEmpty()
            ? qs(app_.settings().ProjectPath) + QStringLiteral("/汇总.csv")
            : summary_->text();
        if (const auto chosen = prompts_.saveFile(QStringLiteral("汇总文件"), proposed,
                                                  {QStringLiteral("CSV 表格 (*.csv)"),
                                                   QStringLiteral("JSON 行 (*.jsonl)"),
                                                   QStringLiteral("Excel 工作簿 (*.xlsx)")},
                                                  QStringLiteral("csv")))
            summary_->setText(*chosen);
    });
    const auto withButton = [](QLineEdit* edit, QPushButton* button) {
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(button);
        return row;
    };
    auto* layout = new QFormLayout(box);
    layout->addRow(QStringLiteral("谱图输出文件夹："), withButton(output_, chooseOutput));
    layout->addRow(QStringLiteral("汇总文件："), withButton(summary_, chooseSummary));
    fields_ << output_ << summary_ << chooseOutput << chooseSummary;
    return box;
}

QWidget* BatchDialog::makeProgress()
{
    auto* box = new QGroupBox(QStringLiteral("进度"), this);
    bar_ = new QProgressBar(box);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    status_ = new QLabel(box);
    failures_ = new QTableWidget(0, 2, box);
    failures_->setObjectName(QStringLiteral("failures"));
    failures_->setHorizontalHeaderLabels({QStringLiteral("失败的谱图"), QStringLiteral("原因")});
    failures_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    failures_->horizontalHeader()->setStretchLastSection(true);
    failures_->verticalHeader()->hide();
    failures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    failures_->setSelectionBehavior(QAbstractItemView::SelectRows);
    result_ = new QLabel(box);
    result_->setObjectName(QStringLiteral("result"));
    result_->setWordWrap(true);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    layout->addWidget(failures_, 1);
    layout->addWidget(result_);
    return box;
}

void BatchDialog::addInputs(const QStringList& paths)
{
    for (const QString& path : paths)
        if (!path.isEmpty() && inputs_->findItems(path, Qt::MatchExactly).isEmpty())
            inputs_->addItem(path);
}

void BatchDialog::fillCurves()
{
    curve_->clear();
    const int method = method_->currentData().toInt();
    if (method >= 0)
        for (const CalibrationCurve& c : app_.library().at(static_cast<size_t>(method)).curves)
            curve_->addItem(qs(c.name));
    curve_->setEnabled(curve_->count() > 0 && !running());
}

bool BatchDialog::refuse(QWidget* field, const QString& text)
{
    prompts_.message(text, OperatorPrompts::Icon::Warning);
    field->setFocus();
    return false;
}

bool BatchDialog::prepareRun()
{
    std::vector<std::string> inputs;
    for (int i = 0; i < inputs_->count(); ++i)
        inputs.push_back(ss(inputs_->item(i)->text()));
    if (inputs.empty())
        return refuse(inputs_, qs(kNoInput));
    std::vector<std::string> missing;
    std::vector<std::string> files = collectChromatograms(inputs, recursive_->isChecked(), missing);
    if (!missing.empty()) {
        const auto found = inputs_->findItems(qs(missing.front()), Qt::MatchExactly);
        if (!found.isEmpty())
            inputs_->setCurrentItem(found.front());
        return refuse(inputs_, qs(kMissingInput).arg(qs(missing.front())));
    }
    if (files.empty())
        return refuse(inputs_, qs(kNothingFound));

    const std::string outputDir = ss(output_->text().trimmed());
    const std::string summary = ss(summary_->text().trimmed());
    if (outputDir.empty() && summary.empty())
        return refuse(output_, qs(kNoOutput));
    if (!summary.empty()) {
        const QString suffix = QFileInfo(qs(summary)).suffix();
        if (suffix != QLatin1String("csv") && suffix != QLatin1String("jsonl") &&
            suffix != QLatin1String("xlsx"))
            return refuse(summary_, qs(kSummaryKind));
    }

    ProcessSettings process;
    if (const int method = method_->currentData().toInt(); method >= 0) {
        const MethodLibraryEntry& entry = app_.library().at(static_cast<size_t>(method));
        // The batch reads the method's file, which may have changed since the library did.
        MethodLibraryEntry stored;
        try {
            stored = loadMethodFile(entry.path);
        } catch (const std::exception& e) {
            return refuse(method_, qs(kMethodFailed).arg(qs(entry.path), qs(e.what())));
        }
        process.methodPath = entry.path;
        process.calibration = ss(curve_->currentText());
        if (!process.calibration.empty() &&
            std::none_of(stored.curves.begin(), stored.curves.end(),
                         [&](const CalibrationCurve& c) { return c.name == process.calibration; }))
            return refuse(curve_,
                          qs(kNoSuchCurve).arg(qs(entry.method.name), curve_->currentText()));
    }
    process.methodFolder = app_.library().folder();
    process.cacuFrequence = app_.settings().CacuFrequence;
    process.keepExcluded = app_.settings().AutoDelUnusedPeak == 0;

    if (!outputDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(outputDir, ec);
        if (ec || !std::filesystem::is_directory(outputDir))
            return refuse(
                output_,
                qs(kOutputFolderFailed)
                    .arg(qs(outputDir), qs(ec ? ec.message() : std::string("不是文件夹"))));
    }
    if (const std::string over = firstOverwrittenInput(files, inputs, outputDir); !over.empty())
        return refuse(output_, qs(kOverwritesInput).arg(qs(over)));
    std::unique_ptr<SummaryWriter> writer;
    if (!summary.empty()) {
        try {
            writer = openBatchSummary(summary, summaryColumnTitles());
        } catch (const std::exception& e) {
            return refuse(summary_, qs(kSummaryFailed).arg(qs(summary), qs(e.what())));
        }
    }

    files_ = std::move(files);
    request_ = {};
    request_.inputs = std::move(inputs);
    request_.outputDir = outputDir;
    request_.jobs = jobs_->value();
    request_.process = std::move(process);
    summaryWriter_ = std::move(writer);
    return true;
}

void BatchDialog::startRun()
{
    failures_->setRowCount(0);
    result_->clear();
    bar_->setRange(0, static_cast<int>(files_.size()));
    bar_->setValue(0);
    status_->setText(qs(kProgress).arg(0).arg(files_.size()).arg(0).arg(QStringLiteral("--")));
    cancelRequested_ = false;
    closeWhenEnded_ = false;
    clock_.start();
    setRunning(true);
    worker_ = std::thread([this] {
        BatchOutcome outcome =
            processBatch(files_, request_, summaryWriter_.get(), &cancelRequested_,
                         [this](const BatchProgress& p) {
                             emit fileFinished(p);
                             QMetaObject::invokeMethod(
                                 this, [this, p] { showProgress(p); }, Qt::QueuedConnection);
                         });
        QMetaObject::invokeMethod(
            this, [this, outcome = std::move(outcome)]() mutable { endRun(std::move(outcome)); },
            Qt::QueuedConnection);
    });
}

void BatchDialog::setRunning(bool running)
{
    for (QWidget* w : std::as_const(fields_))
        w->setEnabled(!running);
    curve_->setEnabled(!running && curve_->count() > 0);
    start_->setEnabled(!running);
    cancel_->setEnabled(running);
}

void BatchDialog::requestCancel()
{
    if (!running())
        return;
    cancelRequested_ = true;
    cancel_->setEnabled(false);
    status_->setText(qs(kCancelling));
}

void BatchDialog::showProgress(const BatchProgress& p)
{
    bar_->setValue(static_cast<int>(p.done));
    if (!p.error.empty())
        appendFailure(failures_, p.file, p.error);
    if (cancelRequested_)
        return;
    const double seconds = clock_.elapsed() / 1000.0;
    const double rate = seconds > 0 ? p.done / seconds : 0.0;
    status_->setText(qs(kProgress)
                         .arg(p.done)
                         .arg(p.total)
                         .arg(rate, 0, 'f', 1)
                         .arg(clockText(rate > 0 ? (p.total - p.done) / rate : 0.0)));
}

void BatchDialog::endRun(BatchOutcome outcome)
{
    worker_.join();
    summaryWriter_.reset();
    outcome_ = std::move(outcome);
    setRunning(false);

    // Listed again in file order, now that all are known.
    failures_->setRowCount(0);
    for (const BatchFailure& f : outcome_.failures)
        appendFailure(failures_, f.file, f.error);
    const int processed = static_cast<int>(outcome_.processed());
    const int failed = static_cast<int>(outcome_.failures.size());
    const int total = static_cast<int>(outcome_.total);
    const double seconds = clock_.elapsed() / 1000.0;
    status_->setText(QStringLiteral("用时 %1，%2 个/秒")
                         .arg(clockText(seconds))
                         .arg(seconds > 0 ? outcome_.finished / seconds : 0.0, 0, 'f', 1));
    if (outcome_.cancelled) {
        result_->setText(
            qs(kCancelled).arg(outcome_.finished).arg(total).arg(processed).arg(failed));
        app_.log(ss(qs(kCancelledLog).arg(total).arg(processed).arg(failed)));
    } else {
        bar_->setValue(total);
        result_->setText(qs(kFinished).arg(processed).arg(failed));
        app_.log(ss(qs(kFinishedLog).arg(total).arg(processed).arg(failed)));
    }
    if (!outcome_.summaryError.empty())
        prompts_.message(qs(kSummaryFailed).arg(summary_->text(), qs(outcome_.summaryError)),
                         OperatorPrompts::Icon::Warning);
    emit batchEnded();
    if (closeWhenEnded_)
        QDialog::reject();
}

bool BatchDialog::mayClose()
{
    if (!running())
        return true;
    if (!closeWhenEnded_ && prompts_.askYesNo(qs(kAskCancel))) {
        closeWhenEnded_ = true;
        requestCancel();
    }
    return false;
}

void BatchDialog::reject()
{
    if (mayClose())
        QDialog::reject();
}

}  // namespace dgaws
