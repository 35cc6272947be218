#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <string>

namespace dgaws {

inline QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}
inline QString qs(const char* s)
{
    return QString::fromUtf8(s);
}
inline std::string ss(const QString& s)
{
    return s.toStdString();
}

// One number laid out by a printf pattern, as the stored formats and the classic tables
// print it.
inline QString printfNumber(const char* pattern, double v)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, pattern, v);
    return QString::fromLatin1(buffer);
}

// Stored colours are 0x00BBGGRR.
inline QColor toQColor(int32_t c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline int32_t fromQColor(const QColor& c)
{
    return static_cast<int32_t>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// A file filter in the stored "description|patterns|...|" form as Qt name filters. The
// description is kept as it is; the patterns follow in Qt's form, which the dialogs hide,
// so the operator reads the stored text and Qt still matches "*.chg;*.dat" and "*.*".
QStringList nameFiltersFromStored(const char* stored);

}  // namespace dgaws
