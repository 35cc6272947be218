// Writes the default method QLDefault.she that ships in data/: the nine dissolved gases at
// the retention times of the usual two-channel set-up (thermal conductivity on channel A
// for H2, O2 and N2; flame ionisation with methaniser on channel B for the carbon gases),
// with one calibration table per channel, fitted to the demonstration data's standard gas.
#include "DemoGases.h"

#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "quant/CalibrationFit.h"

#include <algorithm>
#include <cstdio>
#include <exception>

using namespace dgaws;

namespace {

using demo::DemoGas;
using demo::kGases;

std::vector<ComponentEntry> components(char channel)
{
    std::vector<ComponentEntry> list;
    for (const DemoGas& g : kGases) {
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

// Factory factors: one standard run at the single level, the standard gas as the
// demonstration data plays it, fitted by the method's own settings. An operator's first
// calibration replaces it; until then every run shows contents of the right size.
CalibrationCurve curve(const char* name, char channel, const AnalysisMethod& method)
{
    CalibrationCurve c;
    c.name = name;
    c.components = components(channel);
    StandardRun run;
    run.path = "QLCHGDATA.DMD";
    for (const DemoGas& g : kGases)
        if (g.channel == channel)
            run.responses.push_back({g.retentionTime, demo::peakArea(g), g.height});
    c.levels = {StandardLevel{{run}}};
    fitCorrectionFactors(c, FitSettings::of(method));
    c.calibrated = calibratedFlag(c);
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
    e.curves = {curve("ADefaultCali", 'A', m), curve("BDefaultCali", 'B', m)};
    try {
        saveMethodFile(e);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "%s\n", ex.what());
        return 1;
    }
    return 0;
}
