#include "AcquisitionSettings.h"

#include <charconv>
#include <system_error>

namespace dgaws {

double settingNumber(const std::string& text)
{
    // atof semantics (leading blanks, then as much of a number as there is), but never the
    // C library's locale: under a decimal comma strtod reads "0.2" as 0.
    const char* begin = text.data();
    const char* const end = begin + text.size();
    while (begin != end && (*begin == ' ' || (*begin >= '\t' && *begin <= '\r')))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0.0;
    if (std::from_chars(begin, end, value).ec != std::errc())
        return 0.0;
    return value;
}

namespace {

const std::string& levellingText(const AcquisitionSettings& s, int channel, int k, bool stop)
{
    static const std::string none;
    const std::string* a[2][3] = {{&s.StartA1, &s.StartA2, &s.StartA3},
                                  {&s.StopA1, &s.StopA2, &s.StopA3}};
    const std::string* b[2][3] = {{&s.StartB1, &s.StartB2, &s.StartB3},
                                  {&s.StopB1, &s.StopB2, &s.StopB3}};
    if (k < 1 || k > 3 || (channel != 0 && channel != 1))
        return none;
    return channel == 0 ? *a[stop ? 1 : 0][k - 1] : *b[stop ? 1 : 0][k - 1];
}

}  // namespace

double AcquisitionSettings::levellingStart(int channel, int k) const
{
    return settingNumber(levellingText(*this, channel, k, false));
}

double AcquisitionSettings::levellingStop(int channel, int k) const
{
    return settingNumber(levellingText(*this, channel, k, true));
}

double AcquisitionSettings::autoStartHeightMicrovolts() const
{
    return settingNumber(AutoStartHeight) * 1000.0;
}

}  // namespace dgaws
