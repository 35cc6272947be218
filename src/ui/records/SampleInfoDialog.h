#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace dgaws {

class CChrEDoc;

// "查看谱图的进样信息": the sample and injection information of a chromatogram.
class SampleInfoDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "查看谱图的进样信息";
    static constexpr const char* kSerialNote =
        "出厂序号等同于取样日期+"
        "序号，格式如“2013062301”，“2013062302”，共8个字符，同时作为报告编号的一部分。";
    static constexpr const char* kOtherChannelButton = "自动获取另一通道文件";

    explicit SampleInfoDialog(const CChrEDoc& doc, QWidget* parent = nullptr);

    // The values the operator changed into the document (on OK); the others stay as stored.
    void writeBack(CChrEDoc& doc) const;
    // The sending companies and devices the database knows, completed as the operator types.
    void offerKnownNames(const QStringList& companies, const QStringList& devices);

    QLineEdit* deviceNo() const { return deviceNo_; }
    QLineEdit* sendingCompany() const { return sendingCompany_; }
    QLineEdit* serialNo() const { return serialNo_; }
    QLineEdit* linkedFile() const { return linkedFile_; }
    QLineEdit* injectionTime() const { return injectionTime_; }
    QComboBox* sampleType() const { return sampleType_; }
    QSpinBox* standardNumber() const { return standardNumber_; }
    QDoubleSpinBox* sampleAmount() const { return sampleAmount_; }
    QPushButton* otherChannelButton() const { return otherChannel_; }

private:
    // What the widgets hold; compared with what they showed first, it tells which values
    // the operator changed.
    struct Values {
        QString deviceNo, serialNo, sendingCompany, tester, linkedFile;
        int calcMethod, sampleType, standardNumber;
        double internalStd, sampleAmount, pressure, temperature, gasVolume, oilVolume;
    };
    Values current() const;
    void browseLinked();

    Values shown_;

    QString pathName_;
    QLineEdit* injectionTime_;
    QLineEdit* deviceNo_;
    QLineEdit* serialNo_;
    QLineEdit* sendingCompany_;
    QLineEdit* tester_;
    QComboBox* calcMethod_;
    QComboBox* sampleType_;
    QSpinBox* standardNumber_;
    QDoubleSpinBox* internalStd_;
    QDoubleSpinBox* sampleAmount_;
    QDoubleSpinBox* pressure_;
    QDoubleSpinBox* temperature_;
    QDoubleSpinBox* gasVolume_;
    QDoubleSpinBox* oilVolume_;
    QLineEdit* linkedFile_;
    QPushButton* otherChannel_;
};

}  // namespace dgaws
