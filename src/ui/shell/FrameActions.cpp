#include "ui/shell/FrameActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace dgaws {

const int FrameActions::kLabelValues[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x100};
const int FrameActions::kLabelCount = 8;

namespace {

QAction* make(QObject* owner, const char* text, const QKeySequence& key = {},
              const char* tip = nullptr)
{
    auto* a = new QAction(QString::fromUtf8(text), owner);
    if (!key.isEmpty())
        a->setShortcut(key);
    if (tip) {
        // Stored prompts read "status text\ntool tip".
        const QStringList parts = QString::fromUtf8(tip).split(QLatin1Char('\n'));
        a->setStatusTip(parts.value(0));
        a->setToolTip(parts.value(1, parts.value(0)));
    }
    return a;
}

QAction* toggle(QObject* owner, const char* text)
{
    QAction* a = make(owner, text);
    a->setCheckable(true);
    a->setChecked(true);
    return a;
}

}  // namespace

void FrameActions::create(QObject* owner)
{
    open = make(owner, "打开(&O)...", QKeySequence::Open);
    save = make(owner, "保存(&S)", QKeySequence::Save, "保存活动文档\n保存");
    saveAs = make(owner, "另存为(&A)...", {}, "用新名称保存活动文档\n另存为");
    close = make(owner, "关闭(&C)");
    loadBinary = make(owner, "载入二进制谱图文件(&B)");
    saveBinary = make(owner, "保存为二进制谱图文件(&W)");
    exit = make(owner, "退出(&X)");

    openChannelA = make(owner, "打开通道A(&A)", QKeySequence(Qt::Key_A));
    openChannelB = make(owner, "打开通道B(&B)", QKeySequence(Qt::Key_B));
    run = make(owner, "运行(&I)", QKeySequence(Qt::Key_Space));
    stop = make(owner, "停止(&S)", QKeySequence(Qt::Key_Return));
    stop->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    cancel = make(owner, "取消(&C)", QKeySequence(Qt::Key_Escape));
    watchStart = make(owner, "检测启动特征信号");
    zero = make(owner, "基线调零");
    connectCollector = make(owner, "连接采集器(&M)");
    simulate = make(owner, "模拟连接(&V)");

    detectPeaks = make(owner, "峰检测(&D)");
    chooseMethod = make(owner, "选择分析方法计算谱图(&S)");
    editMethod = make(owner, "修改谱图的分析方法(&E)...");
    colors = make(owner, "改变谱图的颜色(&M)...");
    sampleInfo = make(owner, "查看样品信息", {}, "查看样品信息\n查看样品信息");
    background = make(owner, "背景图谱选择(&B)");
    resetRange = make(owner, "恢复显示范围(&R)");
    diagnose = make(owner, "诊断并查看诊断报告");
    addStandard = make(owner, "添加标样谱图到校正表(&A)");
    newCurve = make(owner, "新建校正曲线(&N)");
    editCurve = make(owner, "校正曲线表(&T)...");
    const char* labelTexts[] = {"标注保留时间", "标注峰号",   "标注组份名",   "标注峰高",
                                "标注峰面积",   "标注峰类型", "标注百分含量", "隐藏峰标志"};
    labels.clear();
    for (const char* t : labelTexts)
        labels << make(owner, t);

    systemOptions = make(owner, "系统选项(&O)...");
    password = make(owner, "启动身份验证(&P)");
    viewLog = make(owner, "查看日志(&L)");

    viewStandardBar = toggle(owner, "标准工具栏(&T)");
    viewPeakBar = toggle(owner, "峰处理工具栏(&P)");
    viewStatusBar = toggle(owner, "状态栏(&S)");
    viewTree = toggle(owner, "方法文件树(&M)");
    viewResult = toggle(owner, "结果列表(&R)");

    cascade = make(owner, "层叠(&C)");
    tile = make(owner, "平铺(&T)");
}

void FrameActions::buildMenusAndBars(QMainWindow* frame)
{
    QMenuBar* bar = frame->menuBar();
    fileMenu = bar->addMenu(QStringLiteral("文件(&F)"));
    fileMenu->addActions({open, save, saveAs, close});
    fileMenu->addSeparator();
    fileMenu->addActions({loadBinary, saveBinary});
    fileMenu->addSeparator();
    fileMenu->addAction(exit);

    viewMenu = bar->addMenu(QStringLiteral("视图(&V)"));
    viewMenu->addActions({viewStandardBar, viewPeakBar, viewStatusBar, viewTree, viewResult});

    acquisitionMenu = bar->addMenu(QStringLiteral("采集(&A)"));
    acquisitionMenu->addActions({connectCollector, simulate});
    acquisitionMenu->addSeparator();
    acquisitionMenu->addActions({openChannelA, openChannelB});
    acquisitionMenu->addSeparator();
    acquisitionMenu->addActions({run, stop, cancel, watchStart, zero});

    processMenu = bar->addMenu(QStringLiteral("谱图处理(&P)"));
    processMenu->addActions({detectPeaks, chooseMethod, editMethod});
    processMenu->addAction(diagnose);
    processMenu->addSeparator();
    processMenu->addActions({addStandard, newCurve, editCurve});
    processMenu->addSeparator();
    processMenu->addActions({colors, sampleInfo, background, resetRange});
    processMenu->addSeparator();
    processMenu->addActions(labels);

    systemMenu = bar->addMenu(QStringLiteral("系统(&S)"));
    systemMenu->addActions({systemOptions, password, viewLog});

    windowMenu = bar->addMenu(QStringLiteral("窗口(&W)"));
    windowMenu->addActions({cascade, tile});

    standardBar = frame->addToolBar(QStringLiteral("标准工具栏"));
    standardBar->setObjectName(QStringLiteral("standardBar"));
    standardBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    standardBar->addActions({open, save, openChannelA, openChannelB});
    standardBar->addSeparator();
    standardBar->addActions({run, stop, cancel, watchStart, zero});

    // The two text bars together are wider than a screen: each has a row.
    frame->addToolBarBreak();
    peakBar = frame->addToolBar(QStringLiteral("峰处理工具栏"));
    peakBar->setObjectName(QStringLiteral("peakBar"));
    peakBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    peakBar->addActions({detectPeaks, chooseMethod, sampleInfo, colors, background, resetRange});
    peakBar->addSeparator();
    // The eight label commands side by side would push the bar past a 1280-pixel screen;
    // one button opens them as a list.
    auto* labelButton = new QToolButton(peakBar);
    labelButton->setText(QStringLiteral("峰标注"));
    labelButton->setPopupMode(QToolButton::InstantPopup);
    auto* labelMenu = new QMenu(labelButton);
    labelMenu->addActions(labels);
    labelButton->setMenu(labelMenu);
    peakBar->addWidget(labelButton);

    QObject::connect(viewStandardBar, &QAction::toggled, standardBar, &QWidget::setVisible);
    QObject::connect(viewPeakBar, &QAction::toggled, peakBar, &QWidget::setVisible);
}

}  // namespace dgaws
