#include "FormatVersion.h"

#include <cstdio>

namespace dgaws {

FormatVersion::FormatVersion(int n) : number(n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", n < 0 ? 0 : n % 1000);
    tag[0] = buf[0];
    tag[1] = buf[1];
    tag[2] = buf[2];
}

int FormatVersion::numberFromTag(std::string_view t)
{
    // Unknown tags count by their leading digits, so "abc" selects the oldest layout.
    int value = 0;
    for (char c : t.substr(0, 3)) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

FormatVersion FormatVersion::fromTag(std::string_view t)
{
    FormatVersion v;
    for (size_t i = 0; i < 3; ++i)
        v.tag[i] = i < t.size() ? t[i] : '\0';
    v.number = numberFromTag(t);
    return v;
}

}  // namespace dgaws
