#include "AcquisitionSettings.h"

#include <cstdlib>

namespace dgaws {

double settingNumber(const std::string& text)
{
    // atof semantics: leading blanks, then as much of a number as there is.
    return std::strtod(text.c_str(), nullptr);
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
