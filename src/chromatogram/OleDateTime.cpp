#include "OleDateTime.h"

#include <cmath>

namespace dgaws {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian), after H. Hinnant.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long long kOleEpochFromUnixDays = 25569;  // 1899-12-30 .. 1970-01-01

}  // namespace

OleDateTime OleDateTime::fromCivil(int year, int month, int day, int hour, int minute, int second)
{
    OleDateTime t;
    const long long days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    t.date = static_cast<double>(days + kOleEpochFromUnixDays) +
        (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return t;
}

OleDateTime OleDateTime::fromTimeT(std::time_t tt)
{
    std::tm local{};
    localtime_r(&tt, &local);
    return fromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, local.tm_sec);
}

OleDateTime OleDateTime::now()
{
    return fromTimeT(std::time(nullptr));
}

bool OleDateTime::toTm(std::tm& out) const
{
    // Stored dates come from files; refuse anything a calendar cannot hold.
    if (status != Valid || !std::isfinite(date) || date < -657434.0 || date > 2958465.99999)
        return false;
    double whole = std::floor(date);
    long long secs = std::llround((date - whole) * 86400.0);
    long long days = static_cast<long long>(whole);
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    int y;
    unsigned m, d;
    civilFromDays(days - kOleEpochFromUnixDays, y, m, d);
    out = std::tm{};
    out.tm_year = y - 1900;
    out.tm_mon = static_cast<int>(m) - 1;
    out.tm_mday = static_cast<int>(d);
    out.tm_hour = static_cast<int>(secs / 3600);
    out.tm_min = static_cast<int>(secs / 60 % 60);
    out.tm_sec = static_cast<int>(secs % 60);
    out.tm_isdst = -1;
    long long weekday = (days - kOleEpochFromUnixDays + 4) % 7;  // 1970-01-01 was a Thursday
    out.tm_wday = static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
    return true;
}

std::string OleDateTime::format(const char* pattern) const
{
    std::tm tm{};
    if (!toTm(tm))
        return {};
    char buf[256];
    size_t n = std::strftime(buf, sizeof buf, pattern, &tm);
    return std::string(buf, n);
}

}  // namespace dgaws
