#pragma once

#include <QListWidgetItem>

namespace dgaws {

// The company and device lists carry each row's database id beside the name shown.
inline constexpr int kRecordIdRole = Qt::UserRole + 1;

inline int recordIdOf(const QListWidgetItem* item)
{
    return item ? item->data(kRecordIdRole).toInt() : -1;
}

}  // namespace dgaws
