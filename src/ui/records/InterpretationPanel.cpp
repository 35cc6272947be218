#include "ui/records/InterpretationPanel.h"

#include "ui/records/DuvalDiagramView.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace dgaws {
namespace {

QTableWidget* readOnlyTable(const QStringList& header, QWidget* parent)
{
    auto* t = new QTableWidget(parent);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->setColumnCount(static_cast<int>(header.size()));
    t->setHorizontalHeaderLabels(header);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

QString number(double v)
{
    return QString::number(v, 'f', std::abs(v) < 10 ? 3 : 2);
}

}  // namespace

InterpretationPanel::InterpretationPanel(const KeyGases& gases, const LimitsJudgement& limits,
                                         QWidget* parent)
    : QWidget(parent)
{
    const std::vector<Interpretation> all = interpretGases(gases);
    methods_ = readOnlyTable(
        {QStringLiteral("方法"), QStringLiteral("区域"), QStringLiteral("依据")}, this);
    methods_->setRowCount(static_cast<int>(all.size()));
    for (int row = 0; row < static_cast<int>(all.size()); ++row) {
        const Interpretation& i = all[static_cast<size_t>(row)];
        QString used;
        for (const auto& [name, value] : i.used)
            used += (used.isEmpty() ? QString() : QStringLiteral(", ")) +
                QString::fromStdString(name) + QLatin1Char(' ') +
                (value ? number(*value) : QStringLiteral("∞"));
        methods_->setItem(row, 0,
                          new QTableWidgetItem(QString::fromUtf8(interpretationCaption(i.method))));
        methods_->setItem(row, 1,
                          new QTableWidgetItem(i.zone ? QString::fromStdString(*i.zone)
                                                      : QStringLiteral("不适用")));
        methods_->setItem(row, 2, new QTableWidgetItem(used));
    }
    methods_->resizeColumnsToContents();

    limits_ =
        readOnlyTable({QStringLiteral("项目"), QStringLiteral("类别"), QStringLiteral("数值"),
                       QStringLiteral("限值"), QStringLiteral("单位"), QStringLiteral("判断")},
                      this);
    limits_->setRowCount(static_cast<int>(limits.checks.size()));
    for (int row = 0; row < static_cast<int>(limits.checks.size()); ++row) {
        const LimitCheck& c = limits.checks[static_cast<size_t>(row)];
        const QString cells[] = {QString::fromStdString(limitQuantityName(c)),
                                 QString::fromStdString(limitKindName(c)),
                                 number(c.value),
                                 QString::number(c.limit),
                                 QString::fromStdString(c.unit),
                                 QString::fromUtf8(c.exceeded ? kExceeded : kWithin)};
        for (int col = 0; col < 6; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            if (c.exceeded) {
                item->setBackground(QColor(255, 205, 205));
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            limits_->setItem(row, col, item);
        }
    }
    limits_->resizeColumnsToContents();

    grid_ = new QWidget(this);
    auto* grid = new QGridLayout(grid_);
    grid->setContentsMargins(0, 0, 0, 0);
    int at = 0;
    for (const DuvalDiagram d : kDuvalDiagrams) {
        auto* view = new DuvalDiagramView(d, gases, grid_);
        diagrams_.push_back(view);
        grid->addWidget(view, at / 2, at % 2);
        ++at;
    }

    auto* caption = new QLabel(
        QStringLiteral("限值依据: ") + QString::fromStdString(limitsBasis(limits)), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(methods_);
    layout->addWidget(caption);
    layout->addWidget(limits_);
    if (!limits.notJudged.empty())
        layout->addWidget(new QLabel(QString::fromStdString(limits.notJudged), this));
}

}  // namespace dgaws
