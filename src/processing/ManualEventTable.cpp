#include "ManualEventTable.h"

#include "ManualEventKind.h"

#include <cstdio>

namespace dgaws {

ManualEventTable::RowText ManualEventTable::rowText(int row) const
{
    if (row < 0 || row >= size())
        return {};
    const ManualEvent& e = rows_[static_cast<size_t>(row)];
    char time[64];
    std::snprintf(time, sizeof time, "%1.3f", e.time);
    return {std::to_string(row + 1), time, ManualEventKind::text(e.kind)};
}

bool ManualEventTable::deleteRow(int row)
{
    if (row < 0 || row >= size())
        return false;
    rows_.erase(rows_.begin() + row);
    return true;
}

}  // namespace dgaws
