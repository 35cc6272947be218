#pragma once

#include <ctime>

namespace dgaws::test {

// A calendar instant as the clocks of file-name proposals and database ranges take it.
inline std::tm civilTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

}  // namespace dgaws::test
