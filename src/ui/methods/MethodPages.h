#pragma once

#include "ui/methods/MethodPage.h"

#include "quant/ComponentTable.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace dgaws {

// "组份表": the components with their retention times and identification windows. Other
// values of an entry (factors, references) are kept as they are.
class ComponentsPage : public MethodPage {
    Q_OBJECT
public:
    explicit ComponentsPage(QWidget* parent = nullptr);
    QString caption() const override { return QStringLiteral("组份表"); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

    QTableWidget* table() const { return table_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }

private:
    void fill();
    // The cells into the entries; false with the problem for a cell that is not usable.
    bool readCells(ComponentTable& out, InputProblem& problem) const;

    ComponentTable entries_;
    QTableWidget* table_;
    QPushButton* add_;
    QPushButton* delete_;
};

// "实验信息": the quantitation basis, the calculation method, impurity and group
// calculation, the curve orientation and the group time table.
class QuantitationPage : public MethodPage {
    Q_OBJECT
public:
    explicit QuantitationPage(QWidget* parent = nullptr);
    QString caption() const override { return QStringLiteral("实验信息"); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

    QButtonGroup* responseKind() const { return response_; }
    QButtonGroup* curveAxis() const { return axis_; }
    QComboBox* calcMethod() const { return calcMethod_; }
    QCheckBox* impurityCalc() const { return impurity_; }
    QCheckBox* groupCalc() const { return group_; }
    QTableWidget* groups() const { return groups_; }

private:
    QButtonGroup* response_;
    QButtonGroup* axis_;
    QComboBox* calcMethod_;
    QCheckBox* impurity_;
    QCheckBox* group_;
    QTableWidget* groups_;
};

// "文件路径和命名": where finished runs are saved and how they are named.
class CPP_FileDlg : public MethodPage {
    Q_OBJECT
public:
    explicit CPP_FileDlg(QWidget* parent = nullptr);
    QString caption() const override { return QStringLiteral("文件路径和命名"); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

private:
    QLineEdit* folder_;
    QCheckBox* subfolders_;
    QButtonGroup* naming_;
    QComboBox* automatic_;
    QLineEdit* prefixA_;
    QLineEdit* prefixB_;
    QLineEdit* startA_;
    QLineEdit* startB_;
    QLineEdit* deviceNo_;
};

// "仪器条件": the instrument conditions shown with the chromatogram.
class InstrumentPage : public MethodPage {
    Q_OBJECT
public:
    explicit InstrumentPage(QWidget* parent = nullptr);
    QString caption() const override { return QStringLiteral("仪器条件"); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

private:
    std::vector<InstrumentEntry> entries_;
    QTableWidget* table_;
};

// "油样参数": the oil test: volumes, temperature, pressure, the equipment's oil.
class OilTestPage : public MethodPage {
    Q_OBJECT
public:
    explicit OilTestPage(QWidget* parent = nullptr);
    QString caption() const override { return QStringLiteral("油样参数"); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

    QLineEdit* oilVolume() const { return oilVolume_; }

private:
    QLineEdit* oilVolume_;
    QLineEdit* gasVolume_;
    QLineEdit* temperature_;
    QLineEdit* pressure_;
    QLineEdit* oilMass_;
    QLineEdit* density_;
};

}  // namespace dgaws
