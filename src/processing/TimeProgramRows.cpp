#include "TimeProgramRows.h"

#include "TimeEventType.h"

#include <algorithm>

namespace dgaws {

TimeEvent newTimeEvent(double time)
{
    TimeEvent row;
    row.time = time;
    row.peakWidth = 2;
    row.slope = 10.0;
    row.type = TimeEventType::None;
    return row;
}

size_t insertTimeEvent(std::vector<TimeEvent>& program, const TimeEvent& row)
{
    // A linear search: a program read from an older file need not be in order.
    const auto at = std::find_if(program.begin(), program.end(),
                                 [&row](const TimeEvent& e) { return e.time > row.time; });
    const auto inserted = program.insert(at, row);
    return static_cast<size_t>(inserted - program.begin());
}

size_t replaceTimeEvent(std::vector<TimeEvent>& program, size_t row, const TimeEvent& edited)
{
    if (row >= program.size())
        return program.size();
    program.erase(program.begin() + static_cast<std::ptrdiff_t>(row));
    return insertTimeEvent(program, edited);
}

}  // namespace dgaws
