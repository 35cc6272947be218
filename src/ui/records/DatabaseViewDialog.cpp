#include "ui/records/DatabaseViewDialog.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/records/RecordListItem.h"

#include "app/StoredTestStatus.h"
#include "dga/DgaLimits.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>

namespace dgaws {

namespace {

constexpr const char* kTimeFormat = "yyyy/MM/dd HH:mm:ss";

QString fixed2(double v)
{
    return QString::asprintf("%.2f", v);
}

// The trend's gases: the ones whose growth names a fault, each with its attention value
// for the device's class where it has one.
struct TrendGas {
    const char* name;
    TestRecord::Value slot;
    QColor colour;
    double AttentionLimits::*attention;
};
const TrendGas kTrendGases[] = {
    {"H2", TestRecord::H2, QColor(30, 90, 200), &AttentionLimits::hydrogen},
    {"CH4", TestRecord::CH4, QColor(40, 150, 60), nullptr},
    {"C2H6", TestRecord::C2H6, QColor(140, 90, 30), nullptr},
    {"C2H4", TestRecord::C2H4, QColor(200, 120, 0), nullptr},
    {"C2H2", TestRecord::C2H2, QColor(210, 30, 30), &AttentionLimits::acetylene},
    {"总烃", TestRecord::AllC, QColor(90, 30, 150), &AttentionLimits::totalHydrocarbons},
};

}  // namespace

QStringList databaseViewHeaders()
{
    return {QStringLiteral("序号"), QStringLiteral("实验时间"), QStringLiteral("H2"),
            QStringLiteral("CH4"),  QStringLiteral("C2H6"),     QStringLiteral("C2H4"),
            QStringLiteral("C2H2"), QStringLiteral("CO"),       QStringLiteral("CO2"),
            QStringLiteral("O2"),   QStringLiteral("N2"),       QStringLiteral("总烃"),
            QStringLiteral("异常"), QStringLiteral("公司"),     QStringLiteral("设备"),
            QStringLiteral("批号"), QStringLiteral("状态")};
}

std::vector<std::pair<double, QString>> trendDateTicks(const std::vector<double>& keys,
                                                       int maxTicks)
{
    std::vector<std::pair<double, QString>> days;
    for (const double key : keys) {
        const QString day = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(key * 1000.0))
                                .toString(QStringLiteral("yyyy-MM-dd"));
        if (days.empty() || days.back().second != day)
            days.emplace_back(key, day);
    }
    const int n = static_cast<int>(days.size());
    if (maxTicks < 2 || n <= maxTicks)
        return days;
    // Evenly thinned, ends kept.
    std::vector<std::pair<double, QString>> kept;
    for (int i = 0; i < maxTicks; ++i)
        kept.push_back(days[static_cast<size_t>(
            std::lround(static_cast<double>(i) * (n - 1) / (maxTicks - 1)))]);
    return kept;
}

QStringList databaseViewCells(int rowNumber, const TestRecord& t, const QString& company,
                              const QString& device, const QString& status)
{
    QStringList cells{QString::number(rowNumber), qs(t.injectTime)};
    for (const auto slot :
         {TestRecord::H2, TestRecord::CH4, TestRecord::C2H6, TestRecord::C2H4, TestRecord::C2H2,
          TestRecord::CO, TestRecord::CO2, TestRecord::O2, TestRecord::N2, TestRecord::AllC})
        cells << fixed2(t.values[slot]);
    cells << (t.status != 0 ? QStringLiteral("是") : QStringLiteral("否")) << company << device
          << qs(t.batchNo) << status;
    return cells;
}

DatabaseViewDialog::DatabaseViewDialog(TestRecordDatabase& db, OperatorPrompts& prompts,
                                       Actions actions, QWidget* parent)
    : QDialog(parent), db_(db), prompts_(prompts), actions_(std::move(actions)),
      companies_(new QListWidget(this)), devices_(new QListWidget(this)),
      ranges_(new QButtonGroup(this)), table_(new QTableWidget(this)), trend_(new QCustomPlot(this))
{
    setWindowTitle(qs(kCaption));
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("送样公司列表："), this));
    left->addWidget(companies_);
    left->addWidget(new QLabel(QStringLiteral("相关设备列表："), this));
    left->addWidget(devices_);
    for (const TestRange r : {TestRange::All, TestRange::Year, TestRange::Month, TestRange::Week}) {
        auto* radio = new QRadioButton(qs(rangeText(r)), this);
        ranges_->addButton(radio, static_cast<int>(r));
        left->addWidget(radio);
    }
    ranges_->button(0)->setChecked(true);

    table_->setColumnCount(int(databaseViewHeaders().size()));
    table_->setHorizontalHeaderLabels(databaseViewHeaders());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    trend_->setMinimumHeight(220);
    trend_->legend->setVisible(true);
    // The tests' own days label the time axis: an automatic date ticker repeats a day
    // when its steps are shorter than one, and labels days before the first test.
    dateTicks_ = QSharedPointer<QCPAxisTickerText>(new QCPAxisTickerText);
    trend_->xAxis->setTicker(dateTicks_);
    trend_->yAxis->setLabel(QStringLiteral("uL/L"));

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(trend_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print =
        buttons->addButton(QStringLiteral("打印当前报告"), QDialogButtonBox::ActionRole);
    QPushButton* csv = buttons->addButton(QStringLiteral("导出CSV"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("关闭(C)"), QDialogButtonBox::RejectRole);
    connect(print, &QPushButton::clicked, this, &DatabaseViewDialog::printCurrentReport);
    connect(csv, &QPushButton::clicked, this, &DatabaseViewDialog::exportCsv);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addLayout(left, 0, 0);
    grid->addWidget(split, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    resize(1100, 700);

    connect(companies_, &QListWidget::currentItemChanged, this, [this] { fillDevices(); });
    connect(devices_, &QListWidget::currentItemChanged, this, [this] { query(); });
    connect(ranges_, &QButtonGroup::idClicked, this, [this] { query(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (actions_.openChromatogram && row >= 0 && size_t(row) < rows_.size())
            actions_.openChromatogram(rows_[size_t(row)]);
    });

    {
        const QSignalBlocker quiet(companies_);
        if (const auto all = db_.companies())
            for (const auto& c : *all) {
                auto* item = new QListWidgetItem(qs(c.name), companies_);
                item->setData(kRecordIdRole, c.id);
            }
    }
    // An empty view tells nothing: it opens on the first company and its first device.
    if (companies_->count() > 0)
        companies_->setCurrentRow(0);
}

int DatabaseViewDialog::companyId() const
{
    return recordIdOf(companies_->currentItem());
}

int DatabaseViewDialog::deviceId() const
{
    return recordIdOf(devices_->currentItem());
}

void DatabaseViewDialog::select(const QString& company, const QString& device)
{
    for (int i = 0; i < companies_->count(); ++i)
        if (companies_->item(i)->text() == company)
            companies_->setCurrentRow(i);
    for (int i = 0; i < devices_->count(); ++i)
        if (devices_->item(i)->text() == device)
            devices_->setCurrentRow(i);
}

void DatabaseViewDialog::fillDevices()
{
    {
        const QSignalBlocker quiet(devices_);
        devices_->clear();
    }
    rows_.clear();
    fillTable();
    if (companyId() < 0) {
        prompts_.message(qs(kNoCompany));
        return;
    }
    {
        const QSignalBlocker quiet(devices_);
        if (const auto all = db_.devices(companyId()))
            for (const auto& d : *all) {
                auto* item = new QListWidgetItem(qs(d.name), devices_);
                item->setData(kRecordIdRole, d.id);
            }
    }
    if (devices_->count() > 0)
        devices_->setCurrentRow(0);
}

void DatabaseViewDialog::query()
{
    rows_.clear();
    if (deviceId() < 0) {
        prompts_.message(qs(kNoDevice));
    } else if (const auto found = db_.queryTests(companyId(), deviceId(),
                                                 TestRange(std::max(0, ranges_->checkedId())),
                                                 std::time(nullptr))) {
        rows_ = *found;
    }
    fillTable();
}

void DatabaseViewDialog::fillTable()
{
    table_->setRowCount(int(rows_.size()));
    const QString company =
        companies_->currentItem() ? companies_->currentItem()->text() : QString();
    const QString device = devices_->currentItem() ? devices_->currentItem()->text() : QString();
    const DeviceClass limits = deviceClass();
    for (size_t r = 0; r < rows_.size(); ++r) {
        const LimitsJudgement judged = judgementOf(r, limits);
        const QStringList cells = databaseViewCells(int(r) + 1, rows_[r], company, device,
                                                    qs(storedTestStatusText(judged)));
        for (int c = 0; c < cells.size(); ++c)
            table_->setItem(int(r), c, new QTableWidgetItem(cells[c]));
        if (judged.anyExceeded())
            table_->item(int(r), int(cells.size()) - 1)->setForeground(QColor(200, 0, 0));
    }
    table_->resizeColumnsToContents();
    drawTrend();
}

DeviceClass DatabaseViewDialog::deviceClass() const
{
    const int device = deviceId();
    return device < 0 ? DeviceClass{} : db_.deviceClass(device).value_or(DeviceClass{});
}

LimitsJudgement DatabaseViewDialog::judgementOf(size_t r, const DeviceClass& device) const
{
    // Newest first: the test before is the next row.
    return judgeStoredTest(rows_[r], r + 1 < rows_.size() ? &rows_[r + 1] : nullptr, device);
}

void DatabaseViewDialog::drawTrend()
{
    trend_->clearGraphs();
    trend_->clearItems();
    dateTicks_->clear();
    std::vector<double> keys;
    for (auto t = rows_.rbegin(); t != rows_.rend(); ++t)
        if (const QDateTime when = QDateTime::fromString(qs(t->injectTime), qs(kTimeFormat));
            when.isValid())
            keys.push_back(QCPAxisTickerDateTime::dateTimeToKey(when));
    for (const auto& [key, day] : trendDateTicks(keys))
        dateTicks_->addTick(key, day);
    double top = 0.0;
    // A 500 kV unit's acetylene line is lower than a 110 kV one's.
    const AttentionLimits limits = attentionLimitsFor(deviceClass());
    for (const TrendGas& g : kTrendGases) {
        QCPGraph* graph = trend_->addGraph();
        graph->setName(qs(g.name));
        graph->setPen(QPen(g.colour, 2));
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 5));
        // Newest first in the list; oldest first along the time axis.
        for (auto t = rows_.rbegin(); t != rows_.rend(); ++t) {
            const QDateTime when = QDateTime::fromString(qs(t->injectTime), qs(kTimeFormat));
            if (!when.isValid())
                continue;
            graph->addData(QCPAxisTickerDateTime::dateTimeToKey(when), t->values[g.slot]);
            top = std::max(top, t->values[g.slot]);
        }
        if (g.attention) {
            const double attention = limits.*g.attention;
            auto* line = new QCPItemStraightLine(trend_);
            line->point1->setCoords(0, attention);
            line->point2->setCoords(1, attention);
            line->setPen(QPen(g.colour, 1, Qt::DashLine));
            top = std::max(top, attention);
        }
    }
    trend_->rescaleAxes();
    trend_->yAxis->setRange(0, top > 0.0 ? top * 1.1 : 1.0);
    if (keys.size() == 1) {  // one test: a day either side
        trend_->xAxis->setRange(keys.front(), 2 * 86400, Qt::AlignCenter);
    } else if (!keys.empty()) {
        // A little room after the newest test for its mark, none before the oldest.
        const double span = keys.back() - keys.front();
        trend_->xAxis->setRange(keys.front(), keys.back() + std::max(span * 0.04, 3600.0));
    }
    trend_->replot();
}

bool DatabaseViewDialog::exportCsv()
{
    const QString company =
        companies_->currentItem() ? companies_->currentItem()->text() : QString();
    const QString device = devices_->currentItem() ? devices_->currentItem()->text() : QString();
    // Named after what it holds, in the folder the program keeps its exports in.
    QString name = QStringLiteral("试验记录");
    for (const QString& part : {company, device})
        if (!part.isEmpty())
            name += QLatin1Char('_') + part;
    name.replace(QRegularExpression(QStringLiteral(R"([/\\:*?"<>|])")), QStringLiteral("_"));
    QString proposed = name + QStringLiteral(".csv");
    if (!exportFolder_.isEmpty() && QDir().mkpath(exportFolder_))
        proposed = QDir(exportFolder_).filePath(proposed);
    const auto path = prompts_.saveFile(QStringLiteral("导出CSV"), proposed,
                                        nameFiltersFromStored(kCsvFilter), QStringLiteral("csv"));
    if (!path)
        return false;
    QString text = databaseViewHeaders().join(QLatin1Char(',')) + QStringLiteral("\r\n");
    const DeviceClass limits = deviceClass();
    for (size_t r = 0; r < rows_.size(); ++r) {
        QStringList cells = databaseViewCells(int(r) + 1, rows_[r], company, device,
                                              qs(storedTestStatusText(judgementOf(r, limits))));
        for (QString& c : cells)
            if (c.contains(QLatin1Char(',')) || c.contains(QLatin1Char('"')))
                c = QLatin1Char('"') + c.replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
                    QLatin1Char('"');
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    // A byte-order mark tells spreadsheet programs the text is UTF-8; the file is written
    // beside its place and renamed, so a failure leaves the previous one whole.
    const QString temporary = *path + QStringLiteral(".part");
    QFile file(temporary);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write("\xEF\xBB\xBF") == 3 && file.write(text.toUtf8()) >= 0;
    file.close();
    std::error_code ec;
    if (ok)
        std::filesystem::rename(ss(temporary), ss(*path), ec);
    if (!ok || ec) {
        QFile::remove(temporary);
        prompts_.message(qs(kCsvFailed).replace(QStringLiteral("%s"), *path));
        return false;
    }
    return true;
}

void DatabaseViewDialog::printCurrentReport()
{
    const int row = table_->currentRow();
    if (row < 0 || size_t(row) >= rows_.size()) {
        prompts_.message(qs(kNoTest));
        return;
    }
    if (actions_.printReport)
        actions_.printReport(rows_[size_t(row)], companies_->currentItem()->text(),
                             devices_->currentItem()->text());
}

}  // namespace dgaws
