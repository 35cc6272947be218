#include "ui/calibration/CalibrationTableDialog.h"

#include "ui/calibration/CalibrationCurveDialog.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/shell/DocumentCommands.h"

#include "app/Result.h"
#include "quant/CalibrationCheck.h"
#include "quant/GasSet.h"
#include "quant/NumberText.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace dgaws {

namespace {

constexpr const char* kNoComponent = "<无组份>";
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kRunRole = Qt::UserRole + 2;
// A run beyond the tolerance, and the text on it.
const QColor kWarningBackground(255, 205, 205);
const QColor kWarningText(170, 0, 0);

QTableWidgetItem* cell(const QString& text, bool editable)
{
    auto* item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QString number(const char* format, double value)
{
    return qs(numberText(format, value));
}

std::optional<double> parse(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

}  // namespace

CalibrationTableDialog::CalibrationTableDialog(CalibrationCurve curve, FitSettings settings,
                                               Context context, OperatorPrompts& prompts,
                                               QWidget* parent)
    : QDialog(parent), editor_(std::move(curve), settings), context_(std::move(context)),
      prompts_(prompts)
{
    setWindowTitle(qs(kCaption));
    const CalibrationCurve& c = editor_.curve();

    sampleName_ = new QLineEdit(qs(context_.sampleName), this);
    sampleName_->setReadOnly(true);
    name_ = new QLineEdit(qs(c.name), this);
    impurity1_ = new QLineEdit(number("%g", c.impurityFactor1), this);
    impurity1_->setObjectName(QStringLiteral("impurityFactor1"));
    impurity2_ = new QLineEdit(number("%g", c.impurityFactor2), this);
    impurity2_->setObjectName(QStringLiteral("impurityFactor2"));
    base_ = new QComboBox(this);
    tolerance_ = new QDoubleSpinBox(this);
    tolerance_->setRange(0.0, 1000.0);
    tolerance_->setDecimals(1);
    tolerance_->setSuffix(QStringLiteral(" %"));
    tolerance_->setValue(kDefaultTolerance);
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this] { fillStandardList(); });

    standards_ = new QTableWidget(this);
    standards_->setObjectName(QStringLiteral("standardList"));
    standards_->setSelectionBehavior(QAbstractItemView::SelectRows);
    standards_->setSelectionMode(QAbstractItemView::SingleSelection);
    standards_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    standards_->verticalHeader()->hide();
    components_ = new QTableWidget(this);
    components_->setObjectName(QStringLiteral("componentGrid"));
    components_->setSelectionMode(QAbstractItemView::SingleSelection);
    components_->verticalHeader()->hide();
    connect(components_, &QTableWidget::itemChanged, this, &CalibrationTableDialog::onCellChanged);
    connect(components_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous) {
                if (row != previous && !filling_)
                    fillStandardList();
            });

    // Buttons of the dialog and the commands of its menu; both end in a refresh.
    const auto command = [this](const std::function<EditResult()>& edit) {
        return [this, edit] {
            tell(edit());
            refresh();
        };
    };
    const auto addButton = [this](const char* text, const std::function<void()>& slot) {
        auto* b = new QPushButton(qs(text), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    const auto addGasSet = command([this] { return editor_.addGasSet(); });
    const auto insertGasSet = command([this] { return editor_.insertGasSet(); });
    const auto deleteComponent =
        command([this] { return editor_.deleteComponent(currentComponent()); });
    const auto appendConcentration = command([this] { return editor_.appendConcentration(); });
    const auto clearUnknown = command([this] { return editor_.clearUnknownComponents(); });
    const auto computeFactors = [this] {
        const auto f1 = numberIn(impurity1_);
        const auto f2 = f1 ? numberIn(impurity2_) : std::nullopt;
        if (!f2)
            return;
        tell(editor_.computeFactors(*f1, *f2, base_->currentIndex() - 1));
        refresh();
    };
    const auto setDefault = [this] {
        std::vector<ComponentEntry> table;
        const EditResult r = editor_.setAsDefaultTable(table);
        if (!context_.setDefaultTable || context_.setDefaultTable(table))
            tell(r);
    };

    QMenuBar* menu = new QMenuBar(this);
    QMenu* edit = menu->addMenu(QStringLiteral("组份表(&E)"));
    const auto addMenu = [this, edit](const char* text, const std::function<void()>& slot) {
        QAction* a = edit->addAction(qs(text));
        connect(a, &QAction::triggered, this, slot);
    };
    addMenu("插入组份(&I)", insertGasSet);
    addMenu("删除组份(&D)", deleteComponent);
    edit->addSeparator();
    addMenu("插入组份浓度(&I)", appendConcentration);
    addMenu("删除组份浓度(&D)", [this] { deleteConcentration(); });
    edit->addSeparator();
    addMenu("删除标样(&D)", [this] { deleteStandardData(); });
    edit->addSeparator();
    addMenu("载入谱图获取组份信息(&I)", [this] { loadComponents(); });
    addMenu("清除未知组份(&C)", clearUnknown);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("样品名称："), sampleName_);
    fields->addRow(QStringLiteral("曲线名称："), name_);
    fields->addRow(QStringLiteral("杂质校正因子1："), impurity1_);
    fields->addRow(QStringLiteral("杂质校正因子2："), impurity2_);
    fields->addRow(QStringLiteral("基准组份："), base_);
    fields->addRow(QStringLiteral("偏差警戒限："), tolerance_);

    auto* standardBox = new QGroupBox(QStringLiteral("标样列表"), this);
    auto* standardLayout = new QVBoxLayout(standardBox);
    standardLayout->addWidget(standards_);
    auto* standardButtons = new QHBoxLayout;
    standardButtons->addWidget(addButton("加入标样数据", [this] { addStandardData(); }));
    standardButtons->addWidget(addButton("删除标样数据", [this] { deleteStandardData(); }));
    standardButtons->addStretch();
    standardLayout->addLayout(standardButtons);

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 0);
    top->addWidget(standardBox, 1);

    auto* componentBox = new QGroupBox(QStringLiteral("组份表"), this);
    auto* componentLayout = new QVBoxLayout(componentBox);
    componentLayout->addWidget(components_);
    auto* componentButtons = new QGridLayout;
    const QList<QPushButton*> buttons = {
        addButton("添加组份", addGasSet),
        addButton("删除组份", deleteComponent),
        addButton("增加浓度", appendConcentration),
        addButton("删除浓度", [this] { deleteConcentration(); }),
        addButton("计算校正因子", computeFactors),
        addButton("设置为默认组份表", setDefault),
        addButton("载入谱图获取组份信息", [this] { loadComponents(); }),
        addButton("清除未知组份", clearUnknown),
        addButton("查看校正曲线", [this] { openCurveView(); }),
    };
    for (int i = 0; i < buttons.size(); ++i)
        componentButtons->addWidget(buttons[i], i / 5, i % 5);
    componentLayout->addLayout(componentButtons);

    auto* confirm = addButton("确认(&O)", [this] { accept(); });
    confirm->setDefault(true);
    auto* cancel = addButton("取消(&C)", [this] { reject(); });
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(confirm);
    closing->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(top, 2);
    layout->addWidget(componentBox, 3);
    layout->addLayout(closing);
    resize(1100, 700);
    refresh();
    if (components_->rowCount() > 0)
        components_->setCurrentCell(0, column(Column::Name));
}

QPushButton* CalibrationTableDialog::button(const char* text) const
{
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == qs(text))
            return b;
    return nullptr;
}

void CalibrationTableDialog::trigger(const char* menuText)
{
    for (QAction* a : findChildren<QAction*>())
        if (a->text() == qs(menuText)) {
            a->trigger();
            return;
        }
}

int CalibrationTableDialog::column(Column kind) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].first == kind)
            return static_cast<int>(i);
    return -1;
}

int CalibrationTableDialog::currentComponent() const
{
    return components_->currentRow();
}

void CalibrationTableDialog::tell(const EditResult& result)
{
    if (!result.message.empty())
        prompts_.message(qs(result.message), OperatorPrompts::Icon::Exclamation);
}

std::optional<double> CalibrationTableDialog::numberIn(QLineEdit* field)
{
    if (const auto v = parse(field->text()))
        return v;
    prompts_.message(qs(kNotANumber), OperatorPrompts::Icon::Exclamation);
    field->setFocus();
    field->selectAll();
    return std::nullopt;
}

void CalibrationTableDialog::refreshLater()
{
    // A grid is not rebuilt from inside the signal of one of its own cells.
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshQueued_ = false;
        refresh();
    });
}

void CalibrationTableDialog::refresh()
{
    const CalibrationCurve& c = editor_.curve();
    const QSignalBlocker block(base_);
    const int base = c.baseComponentIndex;
    base_->clear();
    base_->addItem(qs(kNoComponent));
    for (const ComponentEntry& e : c.components)
        base_->addItem(qs(e.name));
    base_->setCurrentIndex(base >= 0 && base < static_cast<int>(c.components.size()) ? base + 1
                                                                                     : 0);
    buildComponentGrid();
    fillStandardList();
}

void CalibrationTableDialog::buildComponentGrid()
{
    const CalibrationCurve& c = editor_.curve();
    const FitSettings& s = editor_.settings();
    int levels = c.components.empty() ? static_cast<int>(c.levels.size()) : 0;
    for (const ComponentEntry& e : c.components)
        levels = std::max(levels, static_cast<int>(e.concentrations.size()));

    columns_.clear();
    QStringList titles;
    const auto add = [&](Column kind, const QString& title, int level = 0) {
        columns_.emplace_back(kind, level);
        titles << title;
    };
    add(Column::Number, QStringLiteral("序号"));
    add(Column::Name, QStringLiteral("组份名"));
    for (int l = 0; l < levels; ++l)
        add(Column::Concentration, QStringLiteral("浓度%1").arg(l + 1), l);
    add(Column::Formula, QStringLiteral("分子式"));
    add(Column::RetentionTime, QStringLiteral("保留时间"));
    add(Column::TimeWindow, QStringLiteral("时间窗带"));
    const bool internal = s.method == QuantMethod::InternalStandard;
    if (internal) {
        add(Column::InternalStandard, QStringLiteral("内标"));
        add(Column::InternalStandardIndex, QStringLiteral("对应内标"));
    }
    add(Column::Factor1, QStringLiteral("校正因子1"));
    add(Column::Factor2, QStringLiteral("校正因子2"));
    add(Column::Correlation, QStringLiteral("相关系数"));
    add(Column::CurveType, QStringLiteral("校正曲线"));
    if (s.groupCalc && s.method != QuantMethod::CorrectedNormalisation)
        add(Column::Group, QStringLiteral("分组"));

    filling_ = true;
    const QSignalBlocker block(components_);
    const int current = components_->currentRow();
    const int currentColumn = components_->currentColumn();
    components_->clear();
    components_->setColumnCount(static_cast<int>(columns_.size()));
    components_->setHorizontalHeaderLabels(titles);
    components_->setRowCount(static_cast<int>(c.components.size()));
    QStringList names;
    for (const ComponentEntry& e : c.components)
        names << qs(e.name);

    for (int row = 0; row < components_->rowCount(); ++row) {
        const ComponentEntry& e = c.components[static_cast<size_t>(row)];
        for (int col = 0; col < static_cast<int>(columns_.size()); ++col) {
            const auto [kind, level] = columns_[static_cast<size_t>(col)];
            const auto choice = [&](const QStringList& items, int index,
                                    const std::function<EditResult(int)>& set) {
                auto* box = new QComboBox(components_);
                box->addItems(items);
                box->setCurrentIndex(index);
                connect(box, &QComboBox::activated, this, [this, set](int chosen) {
                    tell(set(chosen));
                    refreshLater();
                });
                components_->setCellWidget(row, col, box);
            };
            switch (kind) {
            case Column::Number:
                components_->setItem(row, col, cell(QString::number(row + 1), false));
                break;
            case Column::Name: {
                QStringList gases;
                for (const std::string_view g : GasSet::names)
                    gases << qs(std::string(g));
                if (!gases.contains(qs(e.name)))
                    gases.prepend(qs(e.name));
                choice(
                    gases, static_cast<int>(gases.indexOf(qs(e.name))),
                    [this, row, gases](int i) { return editor_.setName(row, ss(gases.value(i))); });
                break;
            }
            case Column::Concentration:
                components_->setItem(
                    row, col,
                    cell(level < static_cast<int>(e.concentrations.size())
                             ? number("%1.4f", e.concentrations[static_cast<size_t>(level)])
                             : QString(),
                         true));
                break;
            case Column::Formula: components_->setItem(row, col, cell(qs(e.formula), true)); break;
            case Column::RetentionTime:
                components_->setItem(row, col, cell(number("%1.3f", e.retentionTime), true));
                break;
            case Column::TimeWindow:
                components_->setItem(row, col, cell(number("%1.3f", e.timeWindow), true));
                break;
            case Column::InternalStandard: {
                auto* item = cell(QString(), false);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(e.isInternalStandard ? Qt::Checked : Qt::Unchecked);
                components_->setItem(row, col, item);
                break;
            }
            case Column::InternalStandardIndex:
                choice(QStringList{QString()} + names, e.internalStandardIndex + 1,
                       [this, row](int i) { return editor_.setInternalStandardIndex(row, i - 1); });
                break;
            case Column::Factor1:
                components_->setItem(row, col, cell(number("%1.4g", e.factor1), true));
                break;
            case Column::Factor2:
                components_->setItem(row, col, cell(number("%1.4g", e.factor2), true));
                break;
            case Column::Correlation:
                components_->setItem(row, col, cell(number("%1.4f", e.correlation), false));
                break;
            case Column::CurveType: {
                QStringList types;
                for (int t = 0; t < 4; ++t)
                    types << qs(curveTypeName(t));
                choice(types, e.curveType,
                       [this, row](int i) { return editor_.setCurveType(row, i); });
                break;
            }
            case Column::Group:
                choice(names, e.groupParentIndex < 0 ? row : e.groupParentIndex,
                       [this, row](int i) { return editor_.setGroupParent(row, i); });
                break;
            }
        }
    }
    components_->setColumnHidden(column(Column::Formula), true);
    components_->resizeColumnsToContents();
    if (current >= 0 && components_->rowCount() > 0)
        components_->setCurrentCell(std::min(current, components_->rowCount() - 1),
                                    std::max(currentColumn, 0));
    filling_ = false;
}

void CalibrationTableDialog::fillStandardList()
{
    const int component = currentComponent();
    const auto rows = standardListRows(editor_.curve(), component);
    const auto checks = runChecks(editor_.curve(), component, editor_.settings());
    const double tolerance = tolerance_->value();
    standards_->clear();
    standards_->setColumnCount(8);
    standards_->setHorizontalHeaderLabels({QStringLiteral("标样号"), QStringLiteral("进样次数"),
                                           QStringLiteral("谱图文件"), QStringLiteral("保留时间"),
                                           QStringLiteral("峰面积"), QStringLiteral("峰高"),
                                           QStringLiteral("回算浓度"), QStringLiteral("偏差(%)")});
    standards_->setRowCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const StandardListRow& r = rows[i];
        const RunCheck& k = checks[i];
        const QStringList texts = {QString::number(r.level),
                                   QString::number(r.run),
                                   qs(r.fileName),
                                   qs(r.retentionTime),
                                   qs(r.area),
                                   qs(r.height),
                                   k.valid ? number("%1.4f", k.backCalculated) : QString(),
                                   k.valid ? number("%+1.2f", k.deviationPercent) : QString()};
        const bool warn = beyondTolerance(k, tolerance);
        for (int col = 0; col < texts.size(); ++col) {
            auto* item = cell(texts[col], false);
            item->setData(kLevelRole, r.level - 1);
            item->setData(kRunRole, r.run - 1);
            if (warn) {
                item->setBackground(kWarningBackground);
                item->setForeground(kWarningText);
            }
            standards_->setItem(static_cast<int>(i), col, item);
        }
    }
    standards_->resizeColumnsToContents();
}

void CalibrationTableDialog::onCellChanged(QTableWidgetItem* item)
{
    if (filling_ || item == nullptr)
        return;
    const int row = item->row();
    const auto [kind, level] = columns_.at(static_cast<size_t>(item->column()));
    const auto value = parse(item->text());
    EditResult result;
    switch (kind) {
    case Column::Concentration:
        if (value)
            result = editor_.setConcentration(row, level, *value);
        break;
    case Column::Formula: result = editor_.setFormula(row, ss(item->text())); break;
    case Column::RetentionTime:
        if (value)
            result = editor_.setRetentionTime(row, *value);
        break;
    case Column::TimeWindow:
        if (value)
            result = editor_.setTimeWindow(row, *value);
        break;
    case Column::InternalStandard:
        result = editor_.setInternalStandard(row, item->checkState() == Qt::Checked);
        break;
    case Column::Factor1:
    case Column::Factor2:
        if (value)
            result = editor_.setFactor(row, kind == Column::Factor1 ? 1 : 2, *value);
        break;
    default: break;
    }
    tell(result);
    // A refused value goes back to what the curve holds.
    refreshLater();
}

std::optional<int> CalibrationTableDialog::chooseLevel(bool always)
{
    const int levels = static_cast<int>(editor_.curve().levels.size());
    if (levels == 0)
        return std::nullopt;
    if (levels == 1 && !always)
        return 0;
    const auto chosen =
        prompts_.askInteger(qs(kChooseLevelCaption), qs(kChooseLevelLabel), 1, 1, levels);
    if (!chosen || *chosen < 1 || *chosen > levels)
        return std::nullopt;
    return *chosen - 1;
}

void CalibrationTableDialog::addStandardData()
{
    const auto level = chooseLevel(false);
    if (!level)
        return;
    const QStringList files =
        prompts_.openFiles(QStringLiteral("加入标样数据"), context_.dataFolder,
                           nameFiltersFromStored(DocumentCommands::kChromatogramFilter));
    if (files.isEmpty())
        return;
    std::vector<std::string> paths;
    for (const QString& f : files)
        paths.push_back(ss(f));
    const AddedRuns added = editor_.addStandardFiles(*level, paths);
    for (const LoadFailure& f : added.failures)
        prompts_.message(
            qs(withReason(CalibrationTableEditor::kLoadFailed, f.path + ": " + f.reason)));
    refresh();
}

void CalibrationTableDialog::deleteStandardData()
{
    const QTableWidgetItem* item = standards_->item(standards_->currentRow(), 0);
    if (item == nullptr)
        return;
    tell(editor_.deleteRun(item->data(kLevelRole).toInt(), item->data(kRunRole).toInt(),
                           [this](const std::string& q) { return prompts_.askYesNo(qs(q)); }));
    refresh();
}

void CalibrationTableDialog::deleteConcentration()
{
    if (const auto level = chooseLevel(true)) {
        tell(editor_.deleteConcentration(*level));
        refresh();
    }
}

void CalibrationTableDialog::loadComponents()
{
    const auto file =
        prompts_.openFile(QStringLiteral("载入谱图获取组份信息"), context_.dataFolder,
                          nameFiltersFromStored(DocumentCommands::kChromatogramFilter));
    if (!file)
        return;
    tell(editor_.loadComponentsFrom(ss(*file)));
    refresh();
}

void CalibrationTableDialog::openCurveView()
{
    const ViewCheck check = editor_.curveViewCheck(currentComponent());
    if (!check.ok) {
        if (!check.message.empty())
            prompts_.message(qs(check.message), OperatorPrompts::Icon::Exclamation);
        return;
    }
    CalibrationCurveDialog view(editor_, currentComponent(), prompts_, this);
    if (showCurveView)
        showCurveView(view);
    else
        view.exec();
}

void CalibrationTableDialog::accept()
{
    const auto f1 = numberIn(impurity1_);
    const auto f2 = f1 ? numberIn(impurity2_) : std::nullopt;
    if (!f2)
        return;
    const EditResult r = editor_.confirm(ss(name_->text().trimmed()), *f1, *f2,
                                         base_->currentIndex() - 1, context_.otherCurveNames);
    if (!r.changed) {
        tell(r);
        name_->setFocus();
        name_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace dgaws
