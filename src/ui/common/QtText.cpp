#include "ui/common/QtText.h"

namespace dgaws {

QStringList nameFiltersFromStored(const char* stored)
{
    const QStringList parts = QString::fromUtf8(stored).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                QLatin1Char(')');
    }
    return filters;
}

}  // namespace dgaws
