#pragma once

#include "quant/CalibrationTableEditor.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace dgaws {

class OperatorPrompts;

// "校正曲线:注意请按出峰顺序依次在组份表中添加组份": one curve of a library method with its
// components, concentrations and standard runs. It works on a copy; the caller stores
// `curve()` once the operator confirmed. Beside each run it shows the amount the fitted curve
// gives back for it and the deviation from the level's concentration, in a warning colour
// beyond the tolerance, so a bad injection is seen before it skews the factors.
class CalibrationTableDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "校正曲线:注意请按出峰顺序依次在组份表中添加组份";
    static constexpr const char* kChooseLevelCaption = "选择标样浓度";
    static constexpr const char* kChooseLevelLabel = "请选择一个标样浓度序列:";
    static constexpr const char* kNotANumber = "请输入一个数字。";
    static constexpr double kDefaultTolerance = 5.0;

    struct Context {
        std::string sampleName;
        // The method's other curves, which a new curve's name must differ from.
        std::vector<std::string> otherCurveNames;
        bool isNewCurve = false;
        // Where chromatogram files are looked for first.
        QString dataFolder;
        // "设置为默认组份表": writes the table as the method's default; false when it failed
        // and has told the operator.
        std::function<bool(const std::vector<ComponentEntry>&)> setDefaultTable;
    };

    // The columns of the component grid that are not one per level.
    enum class Column {
        Number,
        Name,
        Concentration,
        Formula,
        RetentionTime,
        TimeWindow,
        InternalStandard,
        InternalStandardIndex,
        Factor1,
        Factor2,
        Correlation,
        CurveType,
        Group,
    };

    CalibrationTableDialog(CalibrationCurve curve, FitSettings settings, Context context,
                           OperatorPrompts& prompts, QWidget* parent = nullptr);

    const CalibrationCurve& curve() const { return editor_.curve(); }

    QTableWidget* componentGrid() const { return components_; }
    QTableWidget* standardList() const { return standards_; }
    QLineEdit* curveName() const { return name_; }
    QDoubleSpinBox* tolerance() const { return tolerance_; }
    // The button or menu command with that text ("删除标样数据", "插入组份(&I)" ...).
    QPushButton* button(const char* text) const;
    void trigger(const char* menuText);
    // The grid column of a kind (the first concentration for Concentration), -1 when hidden.
    int column(Column kind) const;
    // The curve view opened by "查看校正曲线" runs through this, so a test can close it.
    std::function<void(QDialog&)> showCurveView;

    void accept() override;

private:
    void buildComponentGrid();
    void fillStandardList();
    void refresh();
    void refreshLater();
    void tell(const EditResult& result);
    int currentComponent() const;
    // "选择标样浓度" when the curve has several levels; 0 with one, nothing on cancel.
    std::optional<int> chooseLevel(bool always);
    std::optional<double> numberIn(QLineEdit* field);

    void onCellChanged(QTableWidgetItem* item);
    void addStandardData();
    void deleteStandardData();
    void deleteConcentration();
    void loadComponents();
    void openCurveView();

    CalibrationTableEditor editor_;
    Context context_;
    OperatorPrompts& prompts_;
    std::vector<std::pair<Column, int>> columns_;
    bool refreshQueued_ = false;
    bool filling_ = false;

    QLineEdit* sampleName_;
    QLineEdit* name_;
    QLineEdit* impurity1_;
    QLineEdit* impurity2_;
    QComboBox* base_;
    QDoubleSpinBox* tolerance_;
    QTableWidget* standards_;
    QTableWidget* components_;
};

}  // namespace dgaws
