#pragma once
// The nine dissolved gases as both shipped data files see them: the default method names and
// calibrates them, the demonstration data plays their peaks. One table, so the method's
// windows and factors always fit the peaks the simulated connection produces.

namespace dgaws::demo {

struct DemoGas {
    const char* name;
    const char* formula;
    char channel;                  // thermal conductivity on A, flame ionisation on B
    double retentionTime;          // minutes
    double standardConcentration;  // uL/L in the usual standard gas
    // The peak of the demonstration data: the standard gas injected.
    double height;   // microvolts
    double sigma;    // minutes, front half
    double tailing;  // rear half width over front half width
};

// Widths grow with retention as on a packed column, and the later peaks tail a little more.
inline constexpr DemoGas kGases[] = {
    {"H2(氢气)", "H2", 'A', 0.55, 500.0, 35000.0, 0.012, 1.3},
    {"CH4(甲烷)", "CH4", 'B', 0.65, 100.0, 60000.0, 0.013, 1.3},
    {"O2(氧气)", "O2", 'A', 0.95, 10000.0, 180000.0, 0.018, 1.4},
    {"CO(一氧化碳)", "CO", 'B', 1.10, 500.0, 28000.0, 0.020, 1.4},
    {"N2(氮气)", "N2", 'A', 1.45, 50000.0, 420000.0, 0.026, 1.5},
    {"CO2(二氧化碳)", "CO2", 'B', 2.10, 2000.0, 90000.0, 0.032, 1.5},
    {"C2H4(乙烯)", "C2H4", 'B', 3.05, 100.0, 52000.0, 0.040, 1.6},
    {"C2H6(乙烷)", "C2H6", 'B', 3.65, 100.0, 46000.0, 0.045, 1.6},
    {"C2H2(乙炔)", "C2H2", 'B', 4.60, 50.0, 18000.0, 0.052, 1.7},
};

// The peak's area in microvolt seconds: two half Gaussians of the front and rear widths.
inline double peakArea(const DemoGas& g)
{
    constexpr double kSqrtHalfPi = 1.2533141373155002;  // sqrt(2 pi) / 2
    return g.height * kSqrtHalfPi * (g.sigma + g.sigma * g.tailing) * 60.0;
}

}  // namespace dgaws::demo
