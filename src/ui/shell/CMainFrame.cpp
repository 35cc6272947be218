#include "ui/shell/CMainFrame.h"

#include "ui/batch/BatchDialog.h"
#include "ui/calibration/CalibrationCommands.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/exchange/CMultiDatChildFrame.h"
#include "ui/exchange/DataServiceCommands.h"
#include "ui/exchange/SignalCommands.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/CResultListView.h"
#include "ui/methods/MethodLibraryCommands.h"
#include "ui/records/DatabaseCommands.h"
#include "ui/reports/ReportCommands.h"
#include "ui/reports/WorkbookCommands.h"
#include "ui/run/RunController.h"
#include "ui/settings/CSysSetPropertySheet.h"
#include "ui/settings/PasswordDialog.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/CProgStatusBar.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FileTreeView.h"
#include "ui/shell/LogViewDialog.h"
#include "ui/shell/MethodTreeNode.h"

#include "acquisition/Autosave.h"
#include "app/CChrEDoc.h"
#include "app/CloseRules.h"
#include "app/MethodSelection.h"
#include "app/OutputFolders.h"
#include "app/Version.h"
#include "app/WorkstationApp.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/Interchange.h"
#include "processing/ComparisonOperations.h"
#include "quant/QuantSettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace dgaws {

CMainFrame::CMainFrame(WorkstationApp& app, OperatorPrompts* prompts, QWidget* parent)
    : QMainWindow(parent), app_(app),
      ownPrompts_(prompts ? nullptr : std::make_unique<DialogPrompts>(this)),
      prompts_(prompts ? prompts : ownPrompts_.get()), mdi_(new QMdiArea(this)),
      tabs_(new QTabBar(this)), status_(new CProgStatusBar(this)),
      commands_(new DocumentCommands(app, *prompts_, this)),
      workbooks_(new WorkbookCommands(app, *prompts_, this)),
      reports_(new ReportCommands(app, *prompts_, this)),
      database_(new DatabaseCommands(app, *prompts_, this)),
      calibration_(new CalibrationCommands(app, *prompts_, this)),
      runs_(new RunController(*this, app, *prompts_))
{
    setWindowTitle(qs(app_.mainFrameTitle()));
    setAcceptDrops(true);
    resize(1280, 860);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tabs_->setExpanding(false);
    tabs_->setDocumentMode(true);
    layout->addWidget(tabs_);
    layout->addWidget(mdi_);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(central);
    setStatusBar(status_);

    actions_.create(this);
    actions_.buildMenusAndBars(this);
    peakEdit_.create(this, actions_.systemMenu->menuAction(), [this] { return activeFrame(); });
    workbooks_->addTo(actions_.processMenu, [this] { return activeFrame(); });
    reports_->addTo(actions_.fileMenu, actions_.exit, [this] { return activeFrame(); });
    database_->addTo(
        actions_.systemMenu, actions_.processMenu, [this] { return activeFrame(); },
        [this](const QString& path) { openDocument(path); });
    commands_->setOpenFrames([this] { return frames(); });
    connect(commands_, &DocumentCommands::databaseViewRequested, this,
            [this](const QString& company, const QString& device) {
                database_->showDatabase(company, device);
            });
    dataService_ = new DataServiceCommands(
        app_, *prompts_, this, [this] { return newDocument(); },
        [this](std::unique_ptr<CChrEDoc> doc) { return addFrame(std::move(doc)); });
    QMenu* tools = new QMenu(QStringLiteral("工具(&T)"), menuBar());
    menuBar()->insertMenu(actions_.windowMenu->menuAction(), tools);
    connect(tools->addAction(QStringLiteral("多谱图处理(&U)")), &QAction::triggered, this,
            &CMainFrame::openComparisonWindow);
    connect(tools->addAction(QStringLiteral("批处理谱图(&B)...")), &QAction::triggered, this,
            &CMainFrame::openBatchDialog);
    // Last on the bar: which build this is, the same text as --version.
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    connect(help->addAction(QStringLiteral("关于(&A)...")), &QAction::triggered, this, [this] {
        QMessageBox::about(this, QStringLiteral("关于"),
                           QApplication::applicationDisplayName() + QLatin1Char('\n') +
                               qs(versionText("dgaws")));
    });
    signals_ = new SignalCommands(*prompts_, this);
    // The signal commands keep their own letters (S, B, R), which the chromatogram
    // commands of the same menu already use: they get a submenu of their own.
    signals_->addTo(actions_.processMenu->addMenu(QStringLiteral("谱图信号处理(&G)")),
                    [this] { return activeFrame(); });
    dataService_->addTo(menuBar(), actions_.systemMenu->menuAction(),
                        [this] { return activeFrame(); });
    connect(commands_, &DocumentCommands::dgaPreviewRequested, this,
            [this](CChildFrame* frame) { reports_->preview(*frame, ReportCommands::Kind::Dga); });
    createDocks();
    connectCommands();
    calibration_->connectTo(*this);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub)
            tabs_->setCurrentIndex(static_cast<int>(order_.indexOf(sub)));
        if (resultList_) {
            CChildFrame* frame = activeFrame();
            resultList_->setDocument(frame ? &frame->document() : nullptr);
        }
        updateCommandStates();
    });
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index < order_.size())
            mdi_->setActiveSubWindow(order_[index]);
    });
    connect(commands_, &DocumentCommands::filesChanged, tree_, &FileTreeView::refresh);
    connect(commands_, &DocumentCommands::resultsChanged, this, [this](CChildFrame* f) {
        if (resultList_ && f == activeFrame())
            resultList_->refreshResults();
    });
    connect(runs_, &RunController::stateChanged, this, &CMainFrame::updateCommandStates);
    // The peak commands act on the selected peak, whichever list picked it.
    connect(resultList_, &CResultListView::peakSelected, this, [this] {
        if (CChildFrame* f = activeFrame())
            f->graph()->refreshPeaks();
        updateCommandStates();
    });
    updateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // Windows go first, while the application still knows them; their documents leave
    // the application's slots, the runs and the collector with them.
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (auto* frame = qobject_cast<CChildFrame*>(sub->widget())) {
            runs_->release(frame->document());
            app_.documentDestroyed(&frame->document());
        }
        delete sub;
    }
}

void CMainFrame::createDocks()
{
    tree_ = new FileTreeView(this);
    tree_->setRoot(qs(app_.settings().ProjectPath));
    connect(tree_, &FileTreeView::openRequested, this, &CMainFrame::openChosen);
    methods_ = new MethodTreeNode(tree_, app_.library(), [this] { return app_.methodDefaults(); });
    connect(methods_, &MethodTreeNode::methodActivated, this, [this](const MethodChoice& choice) {
        if (CChildFrame* f = activeFrame())
            commands_->useMethod(*f, choice);
        updateCommandStates();
    });
    app_.library().setAsk([this](const std::string& q) { return prompts_->askYesNo(qs(q)); });
    // Another workstation saved a method into the shared folder after this one read it.
    app_.library().setResolveConflict([this](const std::string& question) {
        using Choice = ConflictAnswer::Choice;
        ConflictAnswer answer;
        const auto chosen = prompts_->choose(
            QStringLiteral("方法文件已被修改"), qs(question),
            {QStringLiteral("重新载入"), QStringLiteral("覆盖"), QStringLiteral("另存为...")});
        if (chosen == 0)
            answer.choice = Choice::Reload;
        else if (chosen == 1)
            answer.choice = Choice::Overwrite;
        else if (chosen == 2)
            if (const auto name =
                    prompts_->askText(QStringLiteral("另存为"), QStringLiteral("新方法名："), {})) {
                answer.choice = Choice::SaveAs;
                answer.newName = ss(*name);
            }
        return answer;
    });
    methodCommands_ = new MethodLibraryCommands(app_, *prompts_, this);
    methodCommands_->setActiveDocument([this]() -> const CChrEDoc* {
        const CChildFrame* f = activeFrame();
        return f ? &f->document() : nullptr;
    });
    methodCommands_->attachTo(tree_);
    connect(methodCommands_, &MethodLibraryCommands::libraryChanged, this,
            &CMainFrame::relinkDocuments);
    connect(methodCommands_, &MethodLibraryCommands::defaultsChanged, methods_,
            &MethodTreeNode::refresh);
    treeDock_ = new QDockWidget(QStringLiteral("方法文件树"), this);
    treeDock_->setObjectName(QStringLiteral("treeDock"));
    treeDock_->setWidget(tree_);
    addDockWidget(Qt::LeftDockWidgetArea, treeDock_);
    treeDock_->setVisible(app_.settings().ViewTree != 0);
    actions_.viewTree->setChecked(app_.settings().ViewTree != 0);

    resultList_ = new CResultListView(this);
    resultList_->setPrompts(prompts_);
    resultList_->setSpreadsheetFolder(qs(app_.root().root() + "/临时"));
    resultDock_ = new QDockWidget(QStringLiteral("结果列表"), this);
    resultDock_->setObjectName(QStringLiteral("resultDock"));
    resultDock_->setWidget(resultList_);
    addDockWidget(Qt::BottomDockWidgetArea, resultDock_);
    resultDock_->setVisible(app_.settings().ViewResult != 0);
    actions_.viewResult->setChecked(app_.settings().ViewResult != 0);
}

void CMainFrame::connectCommands()
{
    FrameActions& a = actions_;
    connect(a.open, &QAction::triggered, this, &CMainFrame::onOpen);
    connect(a.save, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame(); f && commands_->save(*f))
            remember(f->document().pathName);
        updateCommandStates();
    });
    connect(a.saveAs, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame(); f && commands_->saveAs(*f))
            remember(f->document().pathName);
        updateCommandStates();
    });
    connect(a.close, &QAction::triggered, this, [this] {
        if (QMdiSubWindow* sub = mdi_->activeSubWindow())
            sub->close();
    });
    connect(a.loadBinary, &QAction::triggered, this, &CMainFrame::onLoadBinary);
    connect(a.saveBinary, &QAction::triggered, this, &CMainFrame::onSaveBinary);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.openChannelA, &QAction::triggered, this, [this] { openChannel(0); });
    connect(a.openChannelB, &QAction::triggered, this, [this] { openChannel(1); });
    connect(a.detectPeaks, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame()) {
            f->document().detectPeaks();
            f->peaksChanged();
            f->updateTitle();
        }
        updateCommandStates();
    });
    auto onChannel = [this](QAction* action, auto command) {
        connect(action, &QAction::triggered, this, [this, command] {
            if (CChrEDoc* doc = activeChannelDocument())
                command(*doc);
            updateCommandStates();
        });
    };
    onChannel(a.run, [this](CChrEDoc& d) { runs_->run(d); });
    onChannel(a.stop, [this](CChrEDoc& d) {
        if (runs_->canStop(d))
            runs_->stop(d);
    });
    onChannel(a.cancel, [this](CChrEDoc& d) {
        if (d.acquiring())
            runs_->cancel(d);
    });
    onChannel(a.watchStart, [this](CChrEDoc& d) { runs_->watchStart(d); });
    onChannel(a.zero, [this](CChrEDoc& d) { runs_->zero(d); });
    connect(a.connectCollector, &QAction::triggered, this, [this] { runs_->connectCollector(); });
    connect(a.simulate, &QAction::triggered, this, [this] { runs_->startSimulation(); });
    connect(a.chooseMethod, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->chooseMethod(*f);
        updateCommandStates();
    });
    connect(a.editMethod, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->editMethod(*f);
        updateCommandStates();
    });
    connect(peakEdit_.manualEvents, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->editManualEvents(*f);
    });
    connect(peakEdit_.peakInfo, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->showPeakInfo(*f);
        updateCommandStates();
    });
    connect(a.colors, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->editColors(*f);
    });
    connect(a.sampleInfo, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->editSampleInfo(*f);
    });
    connect(a.diagnose, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->diagnose(*f);
        updateCommandStates();
    });
    connect(a.background, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            commands_->chooseBackground(*f);
    });
    connect(a.resetRange, &QAction::triggered, this, [this] {
        if (CChildFrame* f = activeFrame())
            f->graph()->resetRange();
    });
    for (int i = 0; i < a.labels.size(); ++i) {
        const int value = FrameActions::kLabelValues[i];
        connect(a.labels[i], &QAction::triggered, this, [this, value] { setLabels(value); });
    }
    connect(a.systemOptions, &QAction::triggered, this, &CMainFrame::onSystemOptions);
    connect(a.password, &QAction::triggered, this, &CMainFrame::onPassword);
    connect(a.viewLog, &QAction::triggered, this, &CMainFrame::onViewLog);
    connect(a.viewStatusBar, &QAction::toggled, status_, &QWidget::setVisible);
    connect(a.viewTree, &QAction::toggled, this, [this](bool on) {
        treeDock_->setVisible(on);
        app_.settings().ViewTree = on ? 1 : 0;
    });
    connect(a.viewResult, &QAction::toggled, this, [this](bool on) {
        resultDock_->setVisible(on);
        app_.settings().ViewResult = on ? 1 : 0;
    });
    connect(a.cascade, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    connect(a.tile, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
    for (QMenu* menu : {a.fileMenu, a.processMenu})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    recentSeparator_ = a.fileMenu->insertSeparator(a.exit);
    connect(a.fileMenu, &QMenu::aboutToShow, this, &CMainFrame::rebuildRecentFiles);
    rebuildRecentFiles();
}

void CMainFrame::rebuildRecentFiles()
{
    qDeleteAll(recentActions_);
    recentActions_.clear();
    const auto& files = app_.recentFiles().files();
    for (size_t i = 0; i < files.size(); ++i) {
        const QString path = qs(files[i]);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this);
        connect(action, &QAction::triggered, this, [this, path] { openChosen(path); });
        actions_.fileMenu->insertAction(recentSeparator_, action);
        recentActions_ << action;
    }
}

void CMainFrame::remember(const std::string& path)
{
    app_.recentFiles().add(path);
    rebuildRecentFiles();
}

std::unique_ptr<CChrEDoc> CMainFrame::newDocument()
{
    auto doc = std::make_unique<CChrEDoc>();
    app_.adoptDocument(*doc);
    doc->setMessageSink([this](const std::string& text) { prompts_->message(qs(text)); });
    doc->setQuestionSink(
        [this](const std::string& text) { return prompts_->askOkCancel(qs(text)); });
    applyEngineSettings(*doc);
    return doc;
}

void CMainFrame::applyEngineSettings(CChrEDoc& doc) const
{
    doc.engine.setSettings({app_.settings().CacuFrequence, app_.settings().AutoDelUnusedPeak});
}

CChildFrame* CMainFrame::addFrame(std::unique_ptr<CChrEDoc> doc)
{
    CChrEDoc* raw = doc.get();
    auto* frame = new CChildFrame(std::move(doc));
    frame->results()->setPrompts(prompts_);
    frame->results()->setSpreadsheetFolder(qs(app_.root().root() + "/临时"));
    frame->setCloseGuard([this](CChildFrame& f) { return exiting_ || commands_->mayClose(f); });
    raw->setRedrawHook([frame] { frame->refreshViews(); });
    frame->editing().setQuestion([this](const std::string& q) {
        return prompts_->askOkCancelTitled(qs(PeakEditor::kAskInsertPeakTitle), qs(q));
    });
    connect(frame, &CChildFrame::editingChanged, this, [this](CChildFrame* f) {
        if (resultList_ && f == activeFrame())
            resultList_->refreshResults();
        updateCommandStates();
    });
    frame->graph()->setAuxiliaryLines(app_.settings().LineInPic != 0);
    // The detector's points show while a run goes on; a detection over a stored signal
    // draws its finished peaks instead.
    raw->engine.setMarkObserver([frame, raw](DetectionMark, int sample) {
        if (raw->acquiring())
            frame->graph()->addLiveMark(sample);
    });
    connect(frame->graph(), &CChrEGraphView::timeAxisClicked, this, [this, frame](double t) {
        if (!peakEdit_.timeEvent->isChecked() || frame != activeFrame())
            return;
        peakEdit_.timeEvent->setChecked(false);
        commands_->addTimeEventAt(*frame, t);
        updateCommandStates();
    });
    QMdiSubWindow* sub = mdi_->addSubWindow(frame);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(900, 600);
    order_ << sub;
    connect(frame, &CChildFrame::titleChanged, this, [this] { refreshTabs(); });
    connect(frame, &CChildFrame::closing, this, [this, sub, raw] {
        // The live channel's document leaves the runs and the collector before it goes.
        runs_->release(*raw);
        app_.documentDestroyed(raw);
        order_.removeAll(sub);
        if (resultList_) {
            CChildFrame* active = activeFrame();
            resultList_->setDocument(active && &active->document() != raw ? &active->document()
                                                                          : nullptr);
        }
        refreshTabs();
        tree_->refresh();
    });
    connect(frame->results(), &CResultListView::peakSelected, this, [this, frame] {
        if (resultList_ && activeFrame() == frame)
            resultList_->refreshResults();
    });
    sub->showMaximized();
    refreshTabs();
    updateCommandStates();
    return frame;
}

CChildFrame* CMainFrame::openChannel(int channel)
{
    if (channel != 0 && channel != 1)
        return nullptr;
    if (CChildFrame* existing = frameOf(app_.slot(channel))) {
        activate(existing);
        refreshTabs();
        return existing;
    }
    auto doc = newDocument();
    app_.prepareChannelDocument(*doc, channel);
    app_.setSlot(channel, doc.get());
    runs_->adopt(*doc, channel);
    CChildFrame* frame = addFrame(std::move(doc));
    frame->refreshViews();
    return frame;
}

CChildFrame* CMainFrame::openDocument(const QString& path)
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (CChildFrame* f : frames())
        if (!f->document().pathName.empty() &&
            QFileInfo(qs(f->document().pathName)).absoluteFilePath() == wanted) {
            activate(f);
            return f;
        }
    auto doc = newDocument();
    if (!doc->loadFromFile(ss(wanted))) {
        app_.recentFiles().remove(ss(wanted));
        return nullptr;
    }
    remember(ss(wanted));
    doc->setTitle(ss(QFileInfo(wanted).fileName()));
    CChrEDoc* raw = doc.get();
    CChildFrame* frame = addFrame(std::move(doc));
    app_.setSlot(2, raw);
    frame->refreshViews();
    return frame;
}

CChildFrame* CMainFrame::openChosen(const QString& path)
{
    if (!path.contains(QStringLiteral(".chg"))) {
        prompts_->message(QString::fromUtf8(kOpenOnlyChg));
        return nullptr;
    }
    return openDocument(path);
}

void CMainFrame::onOpen()
{
    const auto chosen =
        prompts_->openFile(QStringLiteral("打开"), qs(app_.settings().ProjectPath),
                           nameFiltersFromStored(DocumentCommands::kChromatogramFilter));
    if (chosen)
        openChosen(*chosen);
}

CChildFrame* CMainFrame::openAnyFile(const QString& path)
{
    if (DataServiceCommands::handles(path))
        return dataService_->openByKind(path);
    if (QFileInfo(path).suffix().compare(QLatin1String("she"), Qt::CaseInsensitive) == 0) {
        // A method file joins the method library, as the tree's load command does.
        const LibraryResult shown = app_.library().show(ss(path));
        if (!shown.message.empty())
            prompts_->message(qs(shown.message),
                              shown.ok() ? OperatorPrompts::Icon::Information
                                         : OperatorPrompts::Icon::Warning);
        methods_->refresh();
        return nullptr;
    }
    return openChosen(path);
}

namespace {

QStringList droppedFiles(const QMimeData* mime)
{
    QStringList files;
    if (mime == nullptr)
        return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    for (const QString& file : files)
        openAnyFile(file);
}

CMultiDatChildFrame* CMainFrame::openComparisonWindow()
{
    prompts_->message(qs(comparison::kWindowNote), OperatorPrompts::Icon::Information);
    app_.log(comparison::kWindowOpenedLog);
    auto* window = new CMultiDatChildFrame(*prompts_);
    window->setPageLayout([this] { return reports_->pageLayout(); });
    window->setExportFolder(qs(defaultExportFolder(app_.root())));
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    return window;
}

void CMainFrame::openBatchDialog()
{
    BatchDialog dialog(app_, *prompts_, this);
    dialog.exec();
    // Processed chromatograms may have been written into the data folder.
    tree_->refresh();
}

void CMainFrame::onLoadBinary()
{
    const auto chosen =
        prompts_->openFile(QStringLiteral("载入二进制谱图文件"), qs(app_.settings().ProjectPath),
                           nameFiltersFromStored("色谱谱图文件V3.0格式(*.dat)|*.dat||"));
    if (!chosen)
        return;
    // The file keeps only the samples; the operator knows the rate they were taken at.
    const auto rate = prompts_->askInteger(QStringLiteral("载入二进制谱图文件"),
                                           QString::fromUtf8(kAskBinaryRate),
                                           kBinaryPointsPerSecond, 1, kMaxImportedRate);
    if (!rate)
        return;
    auto doc = newDocument();
    if (!doc->loadBinary(ss(*chosen), *rate))
        return;
    doc->setTitle(ss(QFileInfo(*chosen).fileName()));
    addFrame(std::move(doc))->refreshViews();
}

void CMainFrame::onSaveBinary()
{
    CChildFrame* f = activeFrame();
    if (!f)
        return;
    CChrEDoc& doc = f->document();
    // The refusals come before the dialog.
    if (!doc.data.hasData || doc.data.signal.count() == 0 || doc.acquiring()) {
        doc.saveBinary({});
        return;
    }
    const QString proposed =
        QFileInfo(qs(doc.pathName.empty() ? doc.title() : doc.pathName)).completeBaseName() +
        QStringLiteral(".dat");
    const auto chosen = prompts_->saveFile(
        QStringLiteral("保存为二进制谱图文件"),
        qs(app_.settings().ProjectPath) + QLatin1Char('/') + proposed,
        nameFiltersFromStored("色谱谱图文件V3.0格式(*.dat)|*.dat||"), QStringLiteral("dat"));
    if (chosen && doc.saveBinary(ss(*chosen)))
        tree_->refresh();
}

void CMainFrame::setLabels(int value)
{
    CChildFrame* f = activeFrame();
    if (!f)
        return;
    f->document().data.setPeakLabels(value);
    f->peaksChanged();
}

void CMainFrame::onSystemOptions()
{
    CSysSetPropertySheet sheet(app_.settings(), this);
    if (sheet.exec() != QDialog::Accepted)
        return;
    app_.acceptSettings(sheet.edited(),
                        [this](const std::string& q) { return prompts_->askYesNo(qs(q)); });
    tree_->setRoot(qs(app_.settings().ProjectPath));
    // The default methods may have changed, and with them the labels.
    methods_->refresh();
    for (CChildFrame* f : frames()) {
        applyEngineSettings(f->document());
        f->graph()->setAuxiliaryLines(app_.settings().LineInPic != 0);
    }
}

void CMainFrame::onPassword()
{
    PasswordDialog dialog([this](const std::string& o, const std::string& n,
                                 const std::string& c) { return app_.changePassword(o, n, c); },
                          [this](const QString& text) {
                              prompts_->message(text, OperatorPrompts::Icon::Information);
                          },
                          this);
    dialog.exec();
}

void CMainFrame::onViewLog()
{
    LogViewDialog dialog(app_.eventLog().copy(), this);
    dialog.exec();
}

QList<CChildFrame*> CMainFrame::frames() const
{
    QList<CChildFrame*> out;
    for (QMdiSubWindow* sub : order_)
        if (auto* f = qobject_cast<CChildFrame*>(sub->widget()))
            out << f;
    return out;
}

CChildFrame* CMainFrame::activeFrame() const
{
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    if (!sub && !order_.isEmpty())
        sub = mdi_->currentSubWindow();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

CChildFrame* CMainFrame::frameOf(const CChrEDoc* doc) const
{
    if (!doc)
        return nullptr;
    for (CChildFrame* f : frames())
        if (&f->document() == doc)
            return f;
    return nullptr;
}

void CMainFrame::activate(CChildFrame* frame)
{
    for (QMdiSubWindow* sub : order_)
        if (sub->widget() == frame)
            mdi_->setActiveSubWindow(sub);
}

void CMainFrame::bringToFront()
{
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
}

void CMainFrame::refreshTabs()
{
    const QSignalBlocker block(tabs_);
    while (tabs_->count() > order_.size())
        tabs_->removeTab(tabs_->count() - 1);
    for (int i = 0; i < order_.size(); ++i) {
        const QString title = order_[i]->widget()->windowTitle();
        if (i < tabs_->count())
            tabs_->setTabText(i, title);
        else
            tabs_->addTab(title);
    }
    if (QMdiSubWindow* active = mdi_->activeSubWindow())
        tabs_->setCurrentIndex(static_cast<int>(order_.indexOf(active)));
}

CChrEDoc* CMainFrame::activeChannelDocument() const
{
    CChildFrame* f = activeFrame();
    if (!f)
        return nullptr;
    CChrEDoc& doc = f->document();
    return doc.state == CChrEDoc::ChannelA || doc.state == CChrEDoc::ChannelB ? &doc : nullptr;
}

void CMainFrame::startUpConnection(bool simulate)
{
    recoverUnfinishedRuns();
    if (simulate)
        runs_->startSimulation();
    else
        runs_->connectCollector();
}

void CMainFrame::recoverUnfinishedRuns()
{
    const auto recovered = dgaws::recoverUnfinishedRuns(
        app_.settings().autosaveFolder,
        [this](const std::string& q) { return prompts_->askYesNo(qs(q)); },
        [this](const std::string& path, const std::string& why) {
            prompts_->message(qs(path + ": " + why));
        });
    for (const RecoveredRun& run : recovered) {
        auto doc = newDocument();
        doc->data = run.data;
        doc->data.hasData = true;
        doc->setTitle(ss(QFileInfo(qs(run.copyPath)).completeBaseName()));
        doc->setModifiedFlag(true);
        CChildFrame* frame = addFrame(std::move(doc));
        frame->refreshViews();
        // The copy stays until its chromatogram is in a file of its own.
        connect(commands_, &DocumentCommands::filesChanged, frame, [frame, run] {
            if (!frame->document().pathName.empty() && !frame->document().isModified())
                run.discard();
        });
    }
}

void CMainFrame::updateCommandStates()
{
    CChildFrame* f = activeFrame();
    const bool any = f != nullptr;
    CChrEDoc* live = activeChannelDocument();
    actions_.run->setEnabled(live && runs_->canRun(*live));
    actions_.stop->setEnabled(live && runs_->canStop(*live));
    actions_.cancel->setEnabled(live && live->acquiring());
    actions_.watchStart->setEnabled(live && runs_->canWatchStart(*live));
    actions_.zero->setEnabled(live && live->acquiring() && !live->watchingStart());
    actions_.save->setEnabled(any && DocumentCommands::canSave(f->document()));
    actions_.detectPeaks->setEnabled(any && f->document().canDetectPeaks());
    actions_.chooseMethod->setEnabled(any && MethodSelection::canChoose(f->document()));
    actions_.editMethod->setEnabled(any);
    actions_.diagnose->setEnabled(any && DocumentCommands::canDiagnose(f->document()));
    actions_.addStandard->setEnabled(any && CalibrationCommands::canAddStandard(f->document()));
    for (QAction* a : {actions_.saveAs, actions_.close, actions_.saveBinary, actions_.colors,
                       actions_.sampleInfo, actions_.background, actions_.resetRange})
        a->setEnabled(any);
    for (QAction* a : actions_.labels)
        a->setEnabled(any);
    peakEdit_.update(f);
    workbooks_->update(f);
    reports_->update(f);
    database_->update(f);
    if (dataService_)
        dataService_->update(f);
    if (signals_)
        signals_->update(f);
    showDocumentStatus(any ? &f->document() : nullptr);
}

void CMainFrame::showDocumentStatus(const CChrEDoc* doc)
{
    QString kind;
    QString analysis;
    if (doc) {
        kind = doc->data.sampleType == 1
            ? QStringLiteral("标样：%1").arg(doc->data.standardLevel + 1)
            : QStringLiteral("测试样品");
        analysis = qs(analysisStatusText(doc->data.method));
    }
    status_->setPaneText(CProgStatusBar::SampleKind, kind);
    status_->setPaneText(CProgStatusBar::Analysis, analysis);
    // The acquisition time and voltage belong to the run in the window; a stored
    // chromatogram has none.
    if (doc == nullptr || !doc->acquiring()) {
        status_->setPaneText(CProgStatusBar::Time, QString());
        status_->setPaneText(CProgStatusBar::Voltage, QString());
    }
}

void CMainFrame::relinkDocuments()
{
    const MethodLibrary& library = app_.library();
    for (CChildFrame* f : frames()) {
        CChrEDoc& doc = f->document();
        // A document without a library method stays without one.
        if (doc.libraryMethodIndex < 0)
            continue;
        const int index = library.indexOf(doc.data.methodName);
        doc.libraryMethodIndex = index;
        doc.libraryCalibrationIndex = library.curveIndexOf(index, doc.data.calibrationName);
    }
    updateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (exiting_) {
        event->accept();
        return;
    }
    if (channelSampling(app_)) {
        prompts_->message(qs(CChrEDoc::kCannotCloseWhileSampling),
                          OperatorPrompts::Icon::Exclamation);
        event->ignore();
        return;
    }
    // Each window has its say (a changed file asks to be saved); one that stays open keeps
    // the program running.
    for (QMdiSubWindow* sub : QList<QMdiSubWindow*>(order_)) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    finishExit();
    event->accept();
}

void CMainFrame::finishExit()
{
    if (exiting_)
        return;
    exiting_ = true;
    runs_->shutdown();
    app_.exit();
}

void CMainFrame::endFromOutside(int exitStatus)
{
    if (!exiting_) {
        runs_->stopAllUnattended();
        finishExit();
    }
    // Every event loop ends, a modal dialog's too; the windows go with the frame.
    QApplication::exit(exitStatus);
}

void CMainFrame::commitSession()
{
    if (exiting_)
        return;
    runs_->stopAllUnattended();
    app_.saveSettings();
}

}  // namespace dgaws
