#include "ui/settings/CSysSetPages.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dgaws {

CSysSet_GeneralDlg::CSysSet_GeneralDlg(QWidget* parent) : SettingsPage(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    struct Check {
        const char* key;
        const char* text;
    };
    const Check checks[] = {
        {"AutoBase", "采样开始时信号自动调零"},
        {"AllStart", "A、B通道同时启动采样"},
        {"AllStop", "A、B通道同时停止采样"},
        {"StopWarning", "采样结束停止使用声音报警"},
        {"PlayConnSound", "连接成功播放声音"},
        {"ShowWaitDlg", "连接成功后显示进样提示框"},
        {"AutoDelUnusedPeak", "自动删除未识别组份的色谱峰"},
        {"OpenChannelA", "自动连接成功后打开A通道"},
        {"OpenChannelB", "自动连接成功后打开B通道"},
        {"ShowUpdateRTimeDlg", "更新组份时提示更改保留时间"},
        {"DirectSave", "采样结束后直接保存谱图文件"},
        {"LineInPic", "谱图中显示辅助线"},
        {"ConvertA", "A通道信号反相"},
        {"ConvertB", "B通道信号反相"},
        {"OutGasRateUsed", "诊断时使用绝对产气速率"},
    };
    int i = 0;
    for (const Check& c : checks) {
        auto* cell = new QVBoxLayout;
        addCheck(cell, c.key, c.text);
        grid->addLayout(cell, i / 2, i % 2);
        ++i;
    }
    layout->addLayout(grid);
    auto* form = new QFormLayout;
    addText(form, "AutoStartHeight", "启动特征信号识别高度(mV)");
    addText(form, "AutoStartDelay", "监听到特征信号后的启动延时(秒)");
    layout->addLayout(form);
    layout->addStretch();
}

CSysSet_PathDlg::CSysSet_PathDlg(QWidget* parent) : SettingsPage(parent)
{
    auto* form = new QFormLayout(this);
    addPath(form, "SchemePath", "分析方法库路径", false);
    addPath(form, "SimDataPath", "模拟连接数据文件", true);
    addPath(form, "ProjectPath", "谱图文件保存路径", false);
    addPath(form, "WordPadPath", "文本编辑程序", true);
    addText(form, "ADefaultProg", "A通道默认方法");
    addText(form, "BDefaultProg", "B通道默认方法");
}

CSysSet_CardDlg::CSysSet_CardDlg(QWidget* parent)
    : SettingsPage(parent), cardTypes_(new QButtonGroup(this)), rates_(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    auto* cardBox = new QGroupBox(QStringLiteral("采集卡型号"), this);
    auto* cardLayout = new QVBoxLayout(cardBox);
    const char* cards[] = {"DX3300 (DX3310)", "DX4410"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(cards[i]), cardBox);
        cardTypes_->addButton(b, i);
        cardLayout->addWidget(b);
    }
    auto* note = new QLabel(QStringLiteral("采集卡型号的改变在重新启动软件后生效。"), cardBox);
    cardLayout->addWidget(note);
    layout->addWidget(cardBox);

    auto* rateBox = new QGroupBox(QStringLiteral("采样频率"), this);
    auto* rateLayout = new QVBoxLayout(rateBox);
    const char* rates[] = {"10点/秒", "20点/秒", "50点/秒"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(rates[i]), rateBox);
        rates_->addButton(b, i);
        rateLayout->addWidget(b);
    }
    layout->addWidget(rateBox);
    layout->addStretch();
}

void CSysSet_CardDlg::load(const SystemSettings& settings)
{
    cardTypes_->button(settings.CardType == 1 ? 1 : 0)->setChecked(true);
    const int rate = settings.CacuFrequence == 0 ? 0 : settings.CacuFrequence == 1 ? 1 : 2;
    rates_->button(rate)->setChecked(true);
}

void CSysSet_CardDlg::store(SystemSettings& settings) const
{
    settings.CardType = cardTypes_->checkedId() == 1 ? 1 : 0;
    settings.CacuFrequence = std::max(0, rates_->checkedId());
}

CSysSet_FileSetDlg::CSysSet_FileSetDlg(QWidget* parent)
    : SettingsPage(parent), mergeDirection_(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    auto* mergeBox = new QGroupBox(QStringLiteral("通道谱图合并"), this);
    auto* mergeLayout = new QVBoxLayout(mergeBox);
    addCheck(mergeLayout, "Merge", "采样结束后合并两个通道的谱图");
    const char* directions[] = {"B通道的文件合并到A通道", "A通道的文件合并到B通道"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(directions[i]), mergeBox);
        mergeDirection_->addButton(b, i);
        mergeLayout->addWidget(b);
    }
    layout->addWidget(mergeBox);

    auto* levelBox = new QGroupBox(QStringLiteral("基线平齐"), this);
    auto* grid = new QGridLayout(levelBox);
    grid->addWidget(new QLabel(QStringLiteral("起始时间(分)"), levelBox), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("终止时间(分)"), levelBox), 0, 2);
    int row = 1;
    for (const char* channel : {"A", "B"}) {
        for (int k = 1; k <= 3; ++k, ++row) {
            grid->addWidget(
                new QLabel(QStringLiteral("%1通道 %2").arg(QLatin1String(channel)).arg(k),
                           levelBox),
                row, 0);
            for (int col = 0; col < 2; ++col) {
                auto* edit = new QLineEdit(levelBox);
                edit->setObjectName(QStringLiteral("%1%2%3")
                                        .arg(col == 0 ? "Start" : "Stop")
                                        .arg(QLatin1String(channel))
                                        .arg(k));
                grid->addWidget(edit, row, col + 1);
            }
        }
    }
    layout->addWidget(levelBox);
    layout->addStretch();
}

void CSysSet_FileSetDlg::load(const SystemSettings& settings)
{
    SettingsPage::load(settings);
    mergeDirection_->button(settings.MergeAB == 1 ? 1 : 0)->setChecked(true);
}

void CSysSet_FileSetDlg::store(SystemSettings& settings) const
{
    SettingsPage::store(settings);
    settings.MergeAB = mergeDirection_->checkedId() == 1 ? 1 : 0;
}

}  // namespace dgaws
