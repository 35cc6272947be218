// Writes the default method QLDefault.she that ships in data/: the nine dissolved gases at
// the retention times of the usual two-channel set-up (thermal conductivity on channel A
// for H2, O2 and N2; flame ionisation with methaniser on channel B for the carbon gases),
// with one calibration table per channel.
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"

#include <algorithm>
#include <cstdio>
#include <exception>

using namespace dgaws;

namespace {

struct Gas {
    const char* name;
    const char* formula;
    double retentionTime;
    double standardConcentration;  // uL/L in the usual standard gas
    char channel;
};

const Gas kGases[] = {
    {"H2(氢气)", "H2", 0.55, 500.0, 'A'},
    {"CH4(甲烷)", "CH4", 0.65, 100.0, 'B'},
    {"O2(氧气)", "O2", 0.95, 10000.0, 'A'},
    {"CO(一氧化碳)", "CO", 1.10, 500.0, 'B'},
    {"N2(氮气)", "N2", 1.45, 50000.0, 'A'},
    {"CO2(二氧化碳)", "CO2", 2.10, 2000.0, 'B'},
    {"C2H4(乙烯)", "C2H4", 3.05, 100.0, 'B'},
    {"C2H6(乙烷)", "C2H6", 3.65, 100.0, 'B'},
    {"C2H2(乙炔)", "C2H2", 4.60, 50.0, 'B'},
};

std::vector<ComponentEntry> components(char channel)
{
    std::vector<ComponentEntry> list;
    for (const Gas& g : kGases) {
        if (channel != '*' && g.channel != channel)
            continue;
        ComponentEntry c;
        c.index = static_cast<int>(list.size());
        c.name = g.name;
        c.formula = g.formula;
        c.retentionTime = g.retentionTime;
        c.timeWindow = 0.08;
        c.concentrations = {g.standardConcentration};
        list.push_back(c);
    }
    return list;
}

CalibrationCurve curve(const char* name, char channel)
{
    CalibrationCurve c;
    c.name = name;
    c.components = components(channel);
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.she\n", argv[0]);
        return 2;
    }
    MethodLibraryEntry e;
    e.path = argv[1];
    AnalysisMethod& m = e.method;
    m.name = "QLDefault";
    m.calcMethod = 5;  // oscillation method, the usual extraction of DGA laboratories
    m.quantOption1 = 0;
    m.quantOption2 = 0;
    m.ambientPressure = 101.3;
    m.ambientTemperature = 20.0;
    m.gasVolume = 5.0;
    m.oilVolume = 40.0;
    m.integration.stopTime = 6.0;
    m.timeEnd = 6.0;
    m.instrumentInfo[4].value = "N2/H2";
    m.instrumentInfo[7].value = "TCD/FID";
    m.components = components('*');
    e.defaultComponents = m.components;
    e.curves = {curve("ADefaultCali", 'A'), curve("BDefaultCali", 'B')};
    try {
        saveMethodFile(e);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "%s\n", ex.what());
        return 1;
    }
    return 0;
}
