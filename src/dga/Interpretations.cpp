#include "Interpretations.h"

#include "DuvalLowTemperature.h"
#include "DuvalPentagon.h"
#include "DuvalTriangle.h"
#include "RatioMethods.h"

#include <cmath>
#include <string_view>

namespace dgaws {
namespace {

std::optional<double> shown(double v)
{
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<std::string> zoneText(std::optional<std::string_view> z)
{
    return z ? std::optional<std::string>(std::string(*z)) : std::nullopt;
}

Interpretation ternary(std::string method, std::optional<std::string_view> zone,
                       std::optional<TernaryPoint> p, const char* a, const char* b, const char* c)
{
    Interpretation i{std::move(method), zoneText(zone), {}};
    if (p)
        i.used = {{a, p->a}, {b, p->b}, {c, p->c}};
    return i;
}

}  // namespace

std::vector<Interpretation> interpretGases(const KeyGases& g)
{
    std::vector<Interpretation> all;
    const IecRatios r = iecRatios(g);
    const std::vector<std::pair<std::string, std::optional<double>>> iecUsed = {
        {"C2H2/C2H4", shown(r.c2h2c2h4)},
        {"CH4/H2", shown(r.ch4h2)},
        {"C2H4/C2H6", shown(r.c2h4c2h6)}};
    all.push_back({"iec60599", zoneText(iec60599Zone(g)), iecUsed});
    all.push_back({"rogers", zoneText(rogersZone(g)), iecUsed});
    const DoernenburgRatios d = doernenburgRatios(g);
    all.push_back({"doernenburg",
                   zoneText(doernenburgZone(g)),
                   {{"CH4/H2", shown(d.ch4h2)},
                    {"C2H2/C2H4", shown(d.c2h2c2h4)},
                    {"C2H2/CH4", shown(d.c2h2ch4)},
                    {"C2H6/C2H2", shown(d.c2h6c2h2)}}});

    const auto t1 = duvalPoint(g.ch4, g.c2h4, g.c2h2);
    Interpretation tri1{"duvalTriangle1", std::nullopt, {}};
    if (t1) {
        tri1.zone = duvalZoneCode(duvalZone(*t1));
        tri1.used = {{"CH4", t1->ch4}, {"C2H4", t1->c2h4}, {"C2H2", t1->c2h2}};
    }
    all.push_back(tri1);
    all.push_back(ternary("duvalTriangle4", duvalTriangle4(g), ternaryPoint(g.h2, g.ch4, g.c2h6),
                          "H2", "CH4", "C2H6"));
    all.push_back(ternary("duvalTriangle5", duvalTriangle5(g), ternaryPoint(g.ch4, g.c2h4, g.c2h6),
                          "CH4", "C2H4", "C2H6"));

    const auto shares = pentagonShares(g);
    for (const char* method : {"duvalPentagon1", "duvalPentagon2"}) {
        const bool first = std::string_view(method) == "duvalPentagon1";
        Interpretation p{method, zoneText(first ? duvalPentagon1(g) : duvalPentagon2(g)), {}};
        if (shares) {
            const PentagonPoint c = pentagonCentroid(*shares);
            p.used = {{"H2", (*shares)[0]},
                      {"C2H6", (*shares)[1]},
                      {"CH4", (*shares)[2]},
                      {"C2H4", (*shares)[3]},
                      {"C2H2", (*shares)[4]},
                      {"x", c.x},
                      {"y", c.y}};
        }
        all.push_back(std::move(p));
    }
    return all;
}

const char* interpretationCaption(const std::string& method, bool english)
{
    static const char* const kCaptions[][3] = {
        {"iec60599", "IEC 60599 比值法", "IEC 60599 ratios"},
        {"rogers", "Rogers 比值法", "Rogers ratios"},
        {"doernenburg", "Doernenburg 比值法", "Doernenburg ratios"},
        {"duvalTriangle1", "Duval 三角形 1", "Duval Triangle 1"},
        {"duvalTriangle4", "Duval 三角形 4", "Duval Triangle 4"},
        {"duvalTriangle5", "Duval 三角形 5", "Duval Triangle 5"},
        {"duvalPentagon1", "Duval 五边形 1", "Duval Pentagon 1"},
        {"duvalPentagon2", "Duval 五边形 2", "Duval Pentagon 2"},
    };
    for (const auto& c : kCaptions)
        if (method == c[0])
            return c[english ? 2 : 1];
    return "";
}

}  // namespace dgaws
