#include "RatioMethods.h"

namespace dgaws {
namespace {

// A range "a to b" of a table includes both ends; "< a" and "> b" exclude them.
bool within(double r, double low, double high)
{
    return r >= low && r <= high;
}

bool gasesPresent(const KeyGases& g)
{
    return interpretable(g.h2, g.ch4, g.c2h6, g.c2h4, g.c2h2);
}

}  // namespace

IecRatios iecRatios(const KeyGases& g)
{
    return {tableRatio(g.c2h2, g.c2h4), tableRatio(g.ch4, g.h2), tableRatio(g.c2h4, g.c2h6)};
}

std::optional<std::string_view> iec60599Zone(const KeyGases& g)
{
    if (!gasesPresent(g))
        return std::nullopt;
    const IecRatios r = iecRatios(g);
    // IEC 60599:2015, Table 1; "NS" (not significant) columns are left out. The rows overlap
    // (D1 and D2 between 1 and 2.5 of C2H2/C2H4); the first row of the table wins.
    if (r.ch4h2 < 0.1 && r.c2h4c2h6 < 0.2)
        return "PD";
    if (r.c2h2c2h4 > 1.0 && within(r.ch4h2, 0.1, 0.5) && r.c2h4c2h6 > 1.0)
        return "D1";
    if (within(r.c2h2c2h4, 0.6, 2.5) && within(r.ch4h2, 0.1, 1.0) && r.c2h4c2h6 > 2.0)
        return "D2";
    if (r.ch4h2 > 1.0 && r.c2h4c2h6 < 1.0)
        return "T1";
    if (r.c2h2c2h4 < 0.1 && r.ch4h2 > 1.0 && within(r.c2h4c2h6, 1.0, 4.0))
        return "T2";
    if (r.c2h2c2h4 < 0.2 && r.ch4h2 > 1.0 && r.c2h4c2h6 > 4.0)
        return "T3";
    return "ND";
}

std::optional<std::string_view> rogersZone(const KeyGases& g)
{
    if (!gasesPresent(g))
        return std::nullopt;
    const IecRatios r = iecRatios(g);
    // IEEE C57.104-1991, Table 3 (Rogers ratios R2 = C2H2/C2H4, R1 = CH4/H2,
    // R5 = C2H4/C2H6). "> 0.1 to < 1.0" is open at both ends, "0.1 to 1.0" closed.
    const bool r2Low = r.c2h2c2h4 < 0.1;
    const bool r1Mid = r.ch4h2 > 0.1 && r.ch4h2 < 1.0;
    if (r2Low && r1Mid && r.c2h4c2h6 < 1.0)
        return "N";
    if (r2Low && r.ch4h2 < 0.1 && r.c2h4c2h6 < 1.0)
        return "PD";
    if (within(r.c2h2c2h4, 0.1, 3.0) && within(r.ch4h2, 0.1, 1.0) && r.c2h4c2h6 > 3.0)
        return "D2";
    if (r2Low && r1Mid && within(r.c2h4c2h6, 1.0, 3.0))
        return "T1";
    if (r2Low && r.ch4h2 > 1.0 && within(r.c2h4c2h6, 1.0, 3.0))
        return "T2";
    if (r2Low && r.ch4h2 > 1.0 && r.c2h4c2h6 > 3.0)
        return "T3";
    return "ND";
}

DoernenburgRatios doernenburgRatios(const KeyGases& g)
{
    return {tableRatio(g.ch4, g.h2), tableRatio(g.c2h2, g.c2h4), tableRatio(g.c2h2, g.ch4),
            tableRatio(g.c2h6, g.c2h2)};
}

std::optional<std::string_view> doernenburgZone(const KeyGases& g)
{
    if (!gasesPresent(g))
        return std::nullopt;
    // IEEE C57.104-1991, the L1 concentrations of the Doernenburg procedure (uL/L).
    constexpr double kH2 = 100.0, kCh4 = 120.0, kC2h2 = 35.0, kC2h4 = 50.0, kC2h6 = 65.0;
    // Step 2: a key gas above twice its L1 and another gas above its L1 make the unit
    // suspect; step 3: each ratio needs one of its gases above L1 to be significant.
    const bool keyTwice =
        g.h2 > 2 * kH2 || g.ch4 > 2 * kCh4 || g.c2h2 > 2 * kC2h2 || g.c2h4 > 2 * kC2h4;
    const int aboveL1 =
        (g.h2 > kH2) + (g.ch4 > kCh4) + (g.c2h2 > kC2h2) + (g.c2h4 > kC2h4) + (g.c2h6 > kC2h6);
    const bool eachRatio = (g.ch4 > kCh4 || g.h2 > kH2) && (g.c2h2 > kC2h2 || g.c2h4 > kC2h4) &&
        (g.c2h2 > kC2h2 || g.ch4 > kCh4) && (g.c2h6 > kC2h6 || g.c2h2 > kC2h2);
    if (!keyTwice || aboveL1 < 2 || !eachRatio)
        return std::nullopt;
    const DoernenburgRatios r = doernenburgRatios(g);
    // Table 2 of the guide, the oil column.
    if (r.ch4h2 > 1.0 && r.c2h2c2h4 < 0.75 && r.c2h2ch4 < 0.3 && r.c2h6c2h2 > 0.4)
        return "T";
    if (r.ch4h2 < 0.1 && r.c2h2ch4 < 0.3 && r.c2h6c2h2 > 0.4)
        return "PD";
    if (r.ch4h2 > 0.1 && r.ch4h2 < 1.0 && r.c2h2c2h4 > 0.75 && r.c2h2ch4 > 0.3 && r.c2h6c2h2 < 0.4)
        return "D";
    return "ND";
}

}  // namespace dgaws
