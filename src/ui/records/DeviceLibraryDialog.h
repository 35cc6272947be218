#pragma once

#include "dga/DgaLimits.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dgaws {

class OperatorPrompts;
class TestRecordDatabase;

// "增加送样公司": a company's name.
class CompanyNameDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "增加送样公司";
    static constexpr const char* kPrompt = "请在下面对话框中输入公司名称：";

    explicit CompanyNameDialog(const QString& name, QWidget* parent = nullptr);
    QString name() const;
    QLineEdit* nameEdit() const { return name_; }

private:
    QLineEdit* name_;
};

// "设备信息输入": a device's name, the company it belongs to, and the class its tests are
// judged by (voltage class, sealed or open-breathing, standard).
class DeviceInfoDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "设备信息输入";

    // `companies` are (id, name) pairs; `companyId` is chosen first.
    DeviceInfoDialog(const QString& name, const QList<QPair<int, QString>>& companies,
                     int companyId, const DeviceClass& deviceClass = {}, QWidget* parent = nullptr);
    QString name() const;
    int companyId() const;
    DeviceClass deviceClass() const;
    QLineEdit* nameEdit() const { return name_; }
    QComboBox* companyBox() const { return company_; }
    QDoubleSpinBox* voltageBox() const { return voltage_; }
    QComboBox* breathingBox() const { return breathing_; }
    QComboBox* standardBox() const { return standard_; }

private:
    QLineEdit* name_;
    QComboBox* company_;
    QDoubleSpinBox* voltage_;
    QComboBox* breathing_;
    QComboBox* standard_;
};

// "设备库": the sending companies and their devices, kept in the test-record database. Every
// change goes through the database's own checks and messages, then both lists are read again.
class DeviceLibraryDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "设备库";
    static constexpr const char* kDeleteCompanyQuestion = "确定要删除送样公司“%1”吗?";
    static constexpr const char* kDeleteDeviceQuestion = "确定要删除设备“%1”吗?";

    DeviceLibraryDialog(TestRecordDatabase& db, OperatorPrompts& prompts,
                        QWidget* parent = nullptr);

    QListWidget* companies() const { return companies_; }
    QListWidget* devices() const { return devices_; }

    void addCompany();
    void renameCompany();
    void deleteCompany();
    void addDevice();
    void modifyDevice();
    void deleteDevice();

private:
    void reload(int selectCompany, int selectDevice);
    void fillDevices(int selectDevice);
    int selectedCompany() const;
    int selectedDevice() const;
    QList<QPair<int, QString>> companyChoices() const;

    TestRecordDatabase& db_;
    OperatorPrompts& prompts_;
    QListWidget* companies_;
    QListWidget* devices_;
};

}  // namespace dgaws
