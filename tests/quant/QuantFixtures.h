#pragma once

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"

#include <string>
#include <vector>

namespace dgaws::test {

inline PeakRecord peakAt(double minutes, double area, double height = 0.0)
{
    PeakRecord p;
    p.retentionTime = minutes;
    p.area = area;
    p.height = height;
    return p;
}

inline PeakRecord identifiedPeak(double minutes, double area, int component,
                                 const std::string& name, double height = 0.0)
{
    PeakRecord p = peakAt(minutes, area, height);
    p.componentIndex = component;
    p.componentName = name;
    return p;
}

inline ComponentEntry component(const std::string& name, double minutes,
                                std::vector<double> concentrations = {0.0})
{
    ComponentEntry c;
    c.name = name;
    c.retentionTime = minutes;
    c.concentrations = std::move(concentrations);
    return c;
}

// A table whose indexes match the positions, as every operation leaves them.
inline std::vector<ComponentEntry> numbered(std::vector<ComponentEntry> table)
{
    for (size_t i = 0; i < table.size(); ++i)
        table[i].index = static_cast<int>(i);
    return table;
}

inline StandardRun run(const std::string& path, std::vector<double> areas,
                       std::vector<double> heights = {})
{
    StandardRun r;
    r.path = path;
    for (size_t i = 0; i < areas.size(); ++i)
        r.responses.push_back(
            {1.0 + static_cast<double>(i), areas[i], i < heights.size() ? heights[i] : 0.0});
    return r;
}

inline std::vector<std::string> names(const std::vector<ComponentEntry>& table)
{
    std::vector<std::string> n;
    for (const ComponentEntry& c : table)
        n.push_back(c.name);
    return n;
}

}  // namespace dgaws::test
