#include "InjectionStamp.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace dgaws {
namespace {

// The local time of a civil date and time as seconds since the epoch, and the zone offset
// (seconds east of UTC) in force then.
bool localInstant(std::tm civil, std::time_t& instant, long& offset)
{
    civil.tm_isdst = -1;
    instant = std::mktime(&civil);
    if (instant == static_cast<std::time_t>(-1))
        return false;
    std::tm back{};
    if (localtime_r(&instant, &back) == nullptr)
        return false;
    offset = back.tm_gmtoff;
    return true;
}

bool digits(std::string_view s, size_t from, size_t count, int& value)
{
    if (from + count > s.size())
        return false;
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

}  // namespace

std::string injectionStamp(const OleDateTime& local)
{
    std::tm civil{};
    if (!local.toTm(civil))
        return {};
    std::time_t instant = 0;
    long offset = 0;
    if (!localInstant(civil, instant, offset))
        offset = 0;
    // Zones lie within a day of UTC; the clamp only keeps the text four digits long.
    const int minutes = static_cast<int>(std::min(std::labs(offset) / 60, 23L * 60 + 59));
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02d%02d", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return local.format("%Y%m%d%H%M%S") + zone;
}

std::optional<OleDateTime> parseInjectionStamp(std::string_view stamp)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!digits(stamp, 0, 4, year) || !digits(stamp, 4, 2, month) || !digits(stamp, 6, 2, day) ||
        !digits(stamp, 8, 2, hour) || !digits(stamp, 10, 2, minute) ||
        !digits(stamp, 12, 2, second))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    const OleDateTime civil = OleDateTime::fromCivil(year, month, day, hour, minute, second);
    int zoneHours = 0, zoneMinutes = 0;
    const bool zoned = stamp.size() >= 19 && (stamp[14] == '+' || stamp[14] == '-') &&
        digits(stamp, 15, 2, zoneHours) && digits(stamp, 17, 2, zoneMinutes);
    if (!zoned)
        return civil;
    // The instant: the civil time less its zone, as if it were UTC; then local time.
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    const long offset = (stamp[14] == '-' ? -1 : 1) * (zoneHours * 3600L + zoneMinutes * 60L);
    const std::time_t instant = timegm(&utc) - offset;
    return OleDateTime::fromTimeT(instant);
}

}  // namespace dgaws
