#include "ui/methods/MethodPages.h"

#include "ui/common/DialogButtons.h"

#include "ui/common/QtText.h"

#include "quant/ComponentTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace dgaws {

namespace {

QTableWidget* makeTable(QWidget* parent, const QStringList& headers)
{
    auto* table = new QTableWidget(parent);
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    return table;
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

void setCell(QTableWidget* table, int row, int column, const QString& text)
{
    table->setItem(row, column, new QTableWidgetItem(text));
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

// A number cell; "第<row>行的<what>必须是数字。" with the cell made current.
bool readCell(const QTableWidget* table, int row, int column, const char* what, double& out,
              InputProblem& problem)
{
    bool ok = false;
    const double value = cellText(table, row, column).toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        auto* t = const_cast<QTableWidget*>(table);
        t->setCurrentCell(row, column);
        problem.message = QStringLiteral("第%1行的%2必须是数字。").arg(row + 1).arg(qs(what));
        problem.field = t;
        return false;
    }
    out = value;
    return true;
}

// The table in retention-time order again after its times were edited, every reference
// still naming the entry it named.
ComponentTable sortedByTime(const ComponentTable& table)
{
    std::vector<int> order(table.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&table](int a, int b) {
        return table[static_cast<size_t>(a)].retentionTime <
            table[static_cast<size_t>(b)].retentionTime;
    });
    std::vector<int> newPosition(table.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPosition[static_cast<size_t>(order[i])] = static_cast<int>(i);
    const auto follow = [&newPosition](int reference) {
        return reference >= 0 && reference < static_cast<int>(newPosition.size())
            ? newPosition[static_cast<size_t>(reference)]
            : reference;
    };
    ComponentTable out;
    for (size_t i = 0; i < order.size(); ++i) {
        ComponentEntry e = table[static_cast<size_t>(order[i])];
        e.index = static_cast<int>(i);
        e.internalStandardIndex = follow(e.internalStandardIndex);
        e.groupParentIndex = follow(e.groupParentIndex);
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------
ComponentsPage::ComponentsPage(QWidget* parent)
    : MethodPage(parent),
      table_(makeTable(this,
                       {QStringLiteral("组份号"), QStringLiteral("组份名"),
                        QStringLiteral("保留时间(分)"), QStringLiteral("时间窗带(分)")})),
      add_(new QPushButton(QStringLiteral("增加(&A)"), this)),
      delete_(new QPushButton(QStringLiteral("删除(&D)"), this))
{
    table_->setColumnWidth(1, 160);
    table_->setColumnWidth(2, 110);
    connect(add_, &QPushButton::clicked, this, [this] {
        // What the operator typed so far stays; a new entry sorts in by its time.
        InputProblem ignored;
        ComponentTable edited;
        if (readCells(edited, ignored))
            entries_ = edited;
        addComponent(entries_, ComponentEntry{});
        fill();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        const int row = table_->currentRow();
        if (row < 0 || row >= static_cast<int>(entries_.size()))
            return;
        InputProblem ignored;
        ComponentTable edited;
        if (readCells(edited, ignored))
            entries_ = edited;
        removeComponent(entries_, row);
        fill();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tableWithSideButtons(table_, add_, delete_));
}

void ComponentsPage::load(const AnalysisMethod& method)
{
    entries_ = method.components;
    fill();
}

void ComponentsPage::fill()
{
    table_->setRowCount(static_cast<int>(entries_.size()));
    for (int r = 0; r < static_cast<int>(entries_.size()); ++r) {
        const ComponentEntry& e = entries_[static_cast<size_t>(r)];
        auto* number = new QTableWidgetItem(QString::number(r));
        number->setFlags(number->flags() & ~Qt::ItemIsEditable);
        table_->setItem(r, 0, number);
        setCell(table_, r, 1, qs(e.name));
        setCell(table_, r, 2, numberText(e.retentionTime));
        setCell(table_, r, 3, numberText(e.timeWindow));
    }
}

bool ComponentsPage::readCells(ComponentTable& out, InputProblem& problem) const
{
    ComponentTable edited = entries_;
    for (int r = 0; r < static_cast<int>(edited.size()); ++r) {
        ComponentEntry& e = edited[static_cast<size_t>(r)];
        const QString name = cellText(table_, r, 1);
        if (name.isEmpty()) {
            table_->setCurrentCell(r, 1);
            problem.message = QStringLiteral("第%1行的组份名不能为空。").arg(r + 1);
            problem.field = table_;
            return false;
        }
        e.name = ss(name);
        if (!readCell(table_, r, 2, "保留时间", e.retentionTime, problem) ||
            !readCell(table_, r, 3, "时间窗带", e.timeWindow, problem))
            return false;
    }
    out = sortedByTime(edited);
    return true;
}

bool ComponentsPage::store(AnalysisMethod& method, InputProblem& problem) const
{
    ComponentTable edited;
    if (!readCells(edited, problem))
        return false;
    method.components = std::move(edited);
    return true;
}

// ---------------------------------------------------------------------------------------
QuantitationPage::QuantitationPage(QWidget* parent)
    : MethodPage(parent), response_(new QButtonGroup(this)), axis_(new QButtonGroup(this)),
      calcMethod_(new QComboBox(this)), impurity_(new QCheckBox(QStringLiteral("杂质计算"), this)),
      group_(new QCheckBox(QStringLiteral("分组计算"), this)),
      groups_(makeTable(this,
                        {QStringLiteral("组号"), QStringLiteral("组名"),
                         QStringLiteral("起始时间(分)"), QStringLiteral("终止时间(分)")}))
{
    auto* responseBox = new QGroupBox(QStringLiteral("定量依据"), this);
    auto* responseLayout = new QHBoxLayout(responseBox);
    const char* responses[] = {"面积", "峰高"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(responses[i]), responseBox);
        response_->addButton(b, i);
        responseLayout->addWidget(b);
    }
    auto* axisBox = new QGroupBox(QStringLiteral("校正曲线"), this);
    auto* axisLayout = new QVBoxLayout(axisBox);
    const char* axes[] = {"X轴浓度 -- Y轴面积(峰高)", "X轴面积(峰高) -- Y轴浓度"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(axes[i]), axisBox);
        axis_->addButton(b, i);
        axisLayout->addWidget(b);
    }
    const char* methods[] = {"面积归一法", "校正归一法", "内标法", "外标法",
                             "指数外标法", "振荡法",     "真空法"};
    for (const char* m : methods)
        calcMethod_->addItem(QString::fromUtf8(m));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("计算方法:"), calcMethod_);
    auto* switches = new QHBoxLayout;
    switches->addWidget(impurity_);
    switches->addWidget(group_);
    switches->addStretch();
    form->addRow(QString(), switches);

    auto* add = new QPushButton(QStringLiteral("增加(&A)"), this);
    auto* remove = new QPushButton(QStringLiteral("删除(&D)"), this);
    connect(add, &QPushButton::clicked, this, [this] {
        const int r = groups_->rowCount();
        groups_->insertRow(r);
        setCell(groups_, r, 0, QString::number(r + 1));
        setCell(groups_, r, 1, QString());
        setCell(groups_, r, 2, QStringLiteral("0"));
        setCell(groups_, r, 3, QStringLiteral("0"));
        groups_->setCurrentCell(r, 1);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (groups_->currentRow() >= 0)
            groups_->removeRow(groups_->currentRow());
    });
    auto* groupBox = new QGroupBox(QStringLiteral("分组时间表"), this);
    auto* groupLayout = new QVBoxLayout(groupBox);
    groupLayout->addLayout(tableWithSideButtons(groups_, add, remove));

    auto* top = new QHBoxLayout;
    top->addWidget(responseBox);
    top->addWidget(axisBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);
    layout->addWidget(groupBox, 1);
}

void QuantitationPage::load(const AnalysisMethod& method)
{
    response_->button(method.quantOption1 == 1 ? 1 : 0)->setChecked(true);
    axis_->button(method.quantOption2 == 1 ? 1 : 0)->setChecked(true);
    calcMethod_->setCurrentIndex(std::clamp(method.calcMethod, 0, 6));
    impurity_->setChecked(method.impurityCalc != 0);
    group_->setChecked(method.groupCalc != 0);
    groups_->setRowCount(static_cast<int>(method.groups.size()));
    for (int r = 0; r < static_cast<int>(method.groups.size()); ++r) {
        const GroupDefinition& g = method.groups[static_cast<size_t>(r)];
        setCell(groups_, r, 0, QString::number(g.groupNo));
        setCell(groups_, r, 1, qs(g.groupName));
        setCell(groups_, r, 2, numberText(g.windowStart));
        setCell(groups_, r, 3, numberText(g.windowEnd));
    }
}

bool QuantitationPage::store(AnalysisMethod& method, InputProblem& problem) const
{
    std::vector<GroupDefinition> groups;
    for (int r = 0; r < groups_->rowCount(); ++r) {
        GroupDefinition g;
        double number = 0.0;
        if (!readCell(groups_, r, 0, "组号", number, problem) ||
            !readCell(groups_, r, 2, "起始时间", g.windowStart, problem) ||
            !readCell(groups_, r, 3, "终止时间", g.windowEnd, problem))
            return false;
        if (g.windowEnd < g.windowStart) {
            groups_->setCurrentCell(r, 3);
            problem.message = QStringLiteral("第%1行的终止时间不能小于起始时间。").arg(r + 1);
            problem.field = groups_;
            return false;
        }
        g.groupNo = static_cast<int>(number);
        g.groupName = ss(cellText(groups_, r, 1));
        groups.push_back(g);
    }
    // The stored values stand unless the operator picked another: a method may hold a
    // value the page does not offer.
    if (response_->checkedId() != (method.quantOption1 == 1 ? 1 : 0))
        method.quantOption1 = response_->checkedId();
    if (axis_->checkedId() != (method.quantOption2 == 1 ? 1 : 0))
        method.quantOption2 = axis_->checkedId();
    if (calcMethod_->currentIndex() != std::clamp(method.calcMethod, 0, 6))
        method.calcMethod = calcMethod_->currentIndex();
    if (impurity_->isChecked() != (method.impurityCalc != 0))
        method.impurityCalc = impurity_->isChecked() ? 1 : 0;
    if (group_->isChecked() != (method.groupCalc != 0))
        method.groupCalc = group_->isChecked() ? 1 : 0;
    method.groups = std::move(groups);
    return true;
}

// ---------------------------------------------------------------------------------------
CPP_FileDlg::CPP_FileDlg(QWidget* parent)
    : MethodPage(parent), folder_(new QLineEdit(this)),
      subfolders_(new QCheckBox(QStringLiteral("按子文件夹存放"), this)),
      naming_(new QButtonGroup(this)), automatic_(new QComboBox(this)),
      prefixA_(new QLineEdit(this)), prefixB_(new QLineEdit(this)), deviceNo_(new QLineEdit(this))
{
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("保存路径:"), folder_);
    form->addRow(QString(), subfolders_);
    auto* modes = new QHBoxLayout;
    const char* modeTexts[] = {"自动命名", "手动命名"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(modeTexts[i]), this);
        naming_->addButton(b, i);
        modes->addWidget(b);
    }
    modes->addStretch();
    form->addRow(QStringLiteral("命名方式:"), modes);
    automatic_->addItems(
        {QStringLiteral("设备编号+时间"), QStringLiteral("设备编号+序号"), QStringLiteral("序号")});
    form->addRow(QStringLiteral("自动命名:"), automatic_);
    form->addRow(QStringLiteral("A通道前缀:"), prefixA_);
    startA_ = addNumberField(form, "A通道起始序号:", this);
    form->addRow(QStringLiteral("B通道前缀:"), prefixB_);
    startB_ = addNumberField(form, "B通道起始序号:", this);
    form->addRow(QStringLiteral("设备编号:"), deviceNo_);
}

void CPP_FileDlg::load(const AnalysisMethod& method)
{
    folder_->setText(qs(method.text4));
    subfolders_->setChecked(method.option2 != 0);
    naming_->button(method.autoName1 == 1 ? 1 : 0)->setChecked(true);
    automatic_->setCurrentIndex(std::clamp(method.autoName2, 0, 2));
    prefixA_->setText(qs(method.text5));
    prefixB_->setText(qs(method.text6));
    showInteger(startA_, method.option5);
    showInteger(startB_, method.option6);
    deviceNo_->setText(qs(method.deviceNo));
}

bool CPP_FileDlg::store(AnalysisMethod& method, InputProblem& problem) const
{
    int startA = 0;
    int startB = 0;
    if (!readInteger(startA_, 0, startA, problem) || !readInteger(startB_, 0, startB, problem))
        return false;
    method.text4 = ss(folder_->text().trimmed());
    if (subfolders_->isChecked() != (method.option2 != 0))
        method.option2 = subfolders_->isChecked() ? 1 : 0;
    if (naming_->checkedId() != (method.autoName1 == 1 ? 1 : 0))
        method.autoName1 = naming_->checkedId();
    if (automatic_->currentIndex() != std::clamp(method.autoName2, 0, 2))
        method.autoName2 = automatic_->currentIndex();
    method.text5 = ss(prefixA_->text());
    method.text6 = ss(prefixB_->text());
    method.option5 = startA;
    method.option6 = startB;
    method.deviceNo = ss(deviceNo_->text());
    return true;
}

// ---------------------------------------------------------------------------------------
InstrumentPage::InstrumentPage(QWidget* parent)
    : MethodPage(parent),
      table_(
          makeTable(this, {QStringLiteral("项目"), QStringLiteral("Item"), QStringLiteral("内容")}))
{
    table_->setColumnWidth(0, 150);
    table_->setColumnWidth(1, 170);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
}

void InstrumentPage::load(const AnalysisMethod& method)
{
    entries_ = method.instrumentInfo;
    table_->setRowCount(static_cast<int>(entries_.size()));
    for (int r = 0; r < static_cast<int>(entries_.size()); ++r) {
        const InstrumentEntry& e = entries_[static_cast<size_t>(r)];
        for (int c = 0; c < 2; ++c) {
            auto* label = new QTableWidgetItem(qs(c == 0 ? e.label : e.labelEn));
            label->setFlags(label->flags() & ~Qt::ItemIsEditable);
            table_->setItem(r, c, label);
        }
        setCell(table_, r, 2, qs(e.value));
    }
}

bool InstrumentPage::store(AnalysisMethod& method, InputProblem&) const
{
    std::vector<InstrumentEntry> edited = entries_;
    for (int r = 0; r < static_cast<int>(edited.size()); ++r) {
        const QTableWidgetItem* item = table_->item(r, 2);
        edited[static_cast<size_t>(r)].value = item ? ss(item->text()) : std::string();
    }
    method.instrumentInfo = std::move(edited);
    return true;
}

// ---------------------------------------------------------------------------------------
OilTestPage::OilTestPage(QWidget* parent) : MethodPage(parent)
{
    auto* form = new QFormLayout(this);
    oilVolume_ = addNumberField(form, "油样体积(mL):", this);
    gasVolume_ = addNumberField(form, "脱出气体体积(mL):", this);
    temperature_ = addNumberField(form, "环境温度(℃):", this);
    pressure_ = addNumberField(form, "环境压力(kPa):", this);
    oilMass_ = addNumberField(form, "设备总油量(t):", this);
    density_ = addNumberField(form, "油密度(t/m3):", this);
}

void OilTestPage::load(const AnalysisMethod& method)
{
    showNumber(oilVolume_, method.oilVolume);
    showNumber(gasVolume_, method.gasVolume);
    showNumber(temperature_, method.ambientTemperature);
    showNumber(pressure_, method.ambientPressure);
    showNumber(oilMass_, method.oilValue1);
    showNumber(density_, method.oilValue2);
}

bool OilTestPage::store(AnalysisMethod& method, InputProblem& problem) const
{
    double oil = 0, gas = 0, temperature = 0, pressure = 0, mass = 0, density = 0;
    if (!readNumber(oilVolume_, oil, problem) || !readNumber(gasVolume_, gas, problem) ||
        !readNumber(temperature_, temperature, problem) ||
        !readNumber(pressure_, pressure, problem) || !readNumber(oilMass_, mass, problem) ||
        !readNumber(density_, density, problem))
        return false;
    // The conversion to oil divides by these.
    if (pressure <= 0.0) {
        problem.message = QStringLiteral("环境压力必须大于0。");
        problem.field = pressure_;
        return false;
    }
    if (temperature <= -273.15) {
        problem.message = QStringLiteral("环境温度必须高于-273.15℃。");
        problem.field = temperature_;
        return false;
    }
    method.oilVolume = oil;
    method.gasVolume = gas;
    method.ambientTemperature = temperature;
    method.ambientPressure = pressure;
    method.oilValue1 = mass;
    method.oilValue2 = density;
    return true;
}

}  // namespace dgaws
