#pragma once

#include <cstdio>
#include <string>

namespace dgaws {

// One number in a printf format of the operator's views ("%1.3f", "%1.4g" ...).
inline std::string numberText(const char* format, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

}  // namespace dgaws
