#include "DuvalLowTemperature.h"

namespace dgaws {

std::optional<TernaryPoint> ternaryPoint(double a, double b, double c)
{
    if (!interpretable(a, b, c))
        return std::nullopt;
    const double sum = a + b + c;
    return TernaryPoint{100.0 * a / sum, 100.0 * b / sum, 100.0 * c / sum};
}

bool triangle4Applies(DuvalZone triangle1)
{
    return triangle1 == DuvalZone::PD || triangle1 == DuvalZone::T1 || triangle1 == DuvalZone::T2;
}

bool triangle5Applies(DuvalZone triangle1)
{
    return triangle1 == DuvalZone::T2 || triangle1 == DuvalZone::T3;
}

std::string_view duvalTriangle4Zone(const TernaryPoint& p)
{
    const double h2 = p.a, ch4 = p.b, c2h6 = p.c;
    // Zone limits of Triangle 4 (Duval 2008): PD a narrow band of 2 % to 15 % CH4 below 1 %
    // C2H6; C from 36 % CH4 and 24 % C2H6 with less than 15 % H2; O from 46 % C2H6; the rest
    // of the band below 1 % C2H6 is not determined, everything else stray gassing.
    if (c2h6 < 1.0)
        return ch4 >= 2.0 && ch4 < 15.0 ? "PD" : "ND";
    if (ch4 >= 36.0 && c2h6 >= 24.0 && h2 < 15.0)
        return "C";
    if (c2h6 >= 46.0)
        return "O";
    return "S";
}

std::string_view duvalTriangle5Zone(const TernaryPoint& p)
{
    const double c2h4 = p.b, c2h6 = p.c;
    // Zone limits of Triangle 5 (Duval 2008), by the shares of C2H4 and C2H6.
    if (c2h4 < 1.0 && c2h6 >= 2.0 && c2h6 < 14.0)
        return "PD";
    if (c2h4 < 10.0)
        return (c2h4 < 1.0 && c2h6 < 2.0) || c2h6 >= 54.0 ? "O" : "S";
    if (c2h6 < 12.0)
        return c2h4 < 35.0 ? "T2" : "T3";
    if (c2h6 < 30.0)
        return c2h4 < 70.0 ? "C" : "T3";
    return "ND";
}

std::optional<std::string_view> duvalTriangle4(const KeyGases& g)
{
    const auto t1 = duvalPoint(g.ch4, g.c2h4, g.c2h2);
    const auto p = ternaryPoint(g.h2, g.ch4, g.c2h6);
    if (!t1 || !p || !triangle4Applies(duvalZone(*t1)))
        return std::nullopt;
    return duvalTriangle4Zone(*p);
}

std::optional<std::string_view> duvalTriangle5(const KeyGases& g)
{
    const auto t1 = duvalPoint(g.ch4, g.c2h4, g.c2h2);
    const auto p = ternaryPoint(g.ch4, g.c2h4, g.c2h6);
    if (!t1 || !p || !triangle5Applies(duvalZone(*t1)))
        return std::nullopt;
    return duvalTriangle5Zone(*p);
}

}  // namespace dgaws
