#include "DgaPrintSettings.h"

#include <QSettings>

namespace dgaws {

namespace {

constexpr const char* kTitles[DgaPrintSettings::ColumnCount][2] = {
    {"序号", "ID.No"},       {"组份名", "ID.Name "},       {"保留时间", "R.Time "},
    {"校正因子", "Revise "}, {"气相中含量", "Conc(gas) "}, {"油中含量", "Conc(oil) "},
    {"脱气率", "Rate "},     {"峰面积", "PeakArea "},      {"峰高", "PeakHeight"},
    {"半峰宽", "halfwidth"}, {"峰类别", "PeakType"},
};

}  // namespace

const char* dgaColumnTitle(DgaPrintSettings::Column column, ReportLanguage language)
{
    return kTitles[column][language == ReportLanguage::English ? 1 : 0];
}

DgaPrintSettings loadDgaPrintSettings(const std::string& settingsFile)
{
    DgaPrintSettings s;
    QSettings store(QString::fromStdString(settingsFile), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("Print"));
    bool ok = false;
    const int filter = store.value(QStringLiteral("DgaFilter")).toInt(&ok);
    if (ok && filter >= 0 && filter <= DgaPrintSettings::RatioComponents)
        s.filter = filter;
    const int columns = store.value(QStringLiteral("DgaColumns")).toInt(&ok);
    if (ok && columns > 0 && columns < (1 << DgaPrintSettings::ColumnCount))
        for (int c = 0; c < DgaPrintSettings::ColumnCount; ++c)
            s.columns[size_t(c)] = (columns >> c) & 1;
    const int language = store.value(QStringLiteral("Language")).toInt(&ok);
    if (ok && (language == 0 || language == 1))
        s.language = ReportLanguage(language);
    return s;
}

void saveDgaPrintSettings(const std::string& settingsFile, const DgaPrintSettings& s)
{
    QSettings store(QString::fromStdString(settingsFile), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("Print"));
    store.setValue(QStringLiteral("DgaFilter"), s.filter);
    int columns = 0;
    for (int c = 0; c < DgaPrintSettings::ColumnCount; ++c)
        columns |= s.columns[size_t(c)] ? 1 << c : 0;
    store.setValue(QStringLiteral("DgaColumns"), columns);
    if (s.language)
        store.setValue(QStringLiteral("Language"), int(*s.language));
    else
        store.remove(QStringLiteral("Language"));
}

}  // namespace dgaws
