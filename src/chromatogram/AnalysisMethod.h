#pragma once

#include "ComponentEntry.h"
#include "DisplayColors.h"
#include "FormatVersion.h"
#include "IntegrationParams.h"
#include "ManualEvent.h"
#include "MethodRecords.h"
#include "RecordFields.h"
#include "ReportSettings.h"

#include <string>
#include <vector>

namespace dgaws {

// Everything that turns a signal into results, plus the sample information it was run with.
// Members are in stored order; visitFields below gives the layout by format.
struct AnalysisMethod {
    static constexpr int kBlockSize = 1792;

    // The numbered slots keep the names they are stored by; these say what the known ones mean.
    const std::string& baseFolder() const { return text4; }
    bool usesSubfolders() const { return option2 != 0; }
    bool namesByHand() const { return autoName1 == 1; }
    const std::string& prefixByHand(int channel) const { return channel == 1 ? text6 : text5; }
    bool respondsByHeight() const { return quantOption1 == 1; }
    // Areas (heights) on x and concentrations on y, rather than the other way round.
    bool concentrationOnY() const { return quantOption2 == 1; }
    // The detector unit of a signal imported from another system when it is not uV; empty
    // for the workstation's own signals.
    const std::string& detectorUnit() const { return sampleText2; }
    void setDetectorUnit(std::string unit) { sampleText2 = std::move(unit); }

    FormatVersion version;        // 1
    int blockSize = kBlockSize;   // 2
    std::string name;             // 3
    bool visible = true;          // 4
    std::string text3;            // 5
    std::string text4;            // 6  base folder of saved chromatograms
    std::string saveFolder;       // 7  base folder with the subfolder applied
    int option1 = 0;              // 8
    int option2 = 1;              // 9  subfolder switch
    int option3 = 2;              // 10
    int option4 = 1;              // 11
    std::vector<NamePart> listA;  // 12 subfolder layers
    int autoName1 = 0;            // 13 0 automatic, 1 manual naming
    int autoName2 = 0;            // 14 0 device+time, 1 device+number, 2 number
    std::string text5;            // 15 manual prefix, channel A
    std::string text6;            // 16 manual prefix, channel B
    int option5 = 1;              // 17 start number, channel A
    int option6 = 1;              // 18 start number, channel B
    NamingBlock fileNaming;       // 19
    std::string deviceNo;         // 20
    std::string tester;           // 21
    std::string serialNo;         // 22
    std::string sendingCompany;   // 23
    std::string sampleText1;      // 24
    std::string sampleText2;      // 25
    int option7 = 0;              // 26
    std::vector<InstrumentEntry> instrumentInfo = defaultInstrumentEntries();  // 27
    ListCBlock listC;                                                          // 28
    ListDBlock listD;                                                          // 29
    int quantOption1 = 0;                                                      // 30 ResponseKind
    int quantOption2 = 0;                                                      // 31 CurveAxis
    int calcMethod = 0;                                                        // 32 QuantMethod
    int impurityCalc = 0;                                                      // 33
    int groupCalc = 0;                                                         // 34
    std::vector<GroupDefinition> groups;                                       // 35
    double ambientPressure = 101.3;                                            // 36 kPa
    double ambientTemperature = 20.0;                                          // 37 degrees C
    double gasVolume = 0.0;                                                    // 38 mL
    double oilVolume = 0.0;                                                    // 39 mL
    int oilOption1 = 0;                                                        // 40
    int oilOption2 = 0;                                                        // 41
    int oilOption3 = 0;                                                        // 42
    int oilOption4 = 0;                                                        // 43
    int oilOption5 = 0;                                                        // 44
    int oilOption6 = 0;                                                        // 45
    double oilValue1 = 0.0;                  // 46 total oil mass, t
    double oilValue2 = 0.0;                  // 47 oil density, t/m3
    int oilOption7 = 0;                      // 48
    TestRecordBlock testRecord;              // 49
    IntegrationParams integration;           // 50
    bool timeProgramEnabled = false;         // 51
    std::vector<TimeEvent> timeProgram;      // 52
    bool useManualEvents = false;            // 53
    std::vector<ManualEvent> manualEvents;   // 54
    int option8 = 0;                         // 55
    double timeEnd = 10.0;                   // 56 minutes
    double timeStart = 0.0;                  // 57
    double levelMin = -200.0;                // 58 mV
    double levelMax = 1000.0;                // 59
    int option9 = 0;                         // 60
    DisplayColors colors;                    // 61
    ReportSettings report;                   // 62
    std::vector<ComponentEntry> components;  // 63

    // Every field but the format it was read in.
    bool operator==(const AnalysisMethod& o) const;
};

// The block's own tag: the current format is written; on loading, the file head's format
// stands whatever the tag says.
void ioOwnTag(Archive& ar, FormatVersion& version, int format);
// The whole block in the order methods had before the current layout.
void loadOlderMethod(Archive& ar, AnalysisMethod& m, int format);

// The block's own tag, then the current layout; older formats have an order of their own.
template <class V> void visitFields(V& v, Record<AnalysisMethod>)
{
    using M = AnalysisMethod;
    if (v.format() < Format::CurrentLayout)
        return v.older(&loadOlderMethod, v.format());
    v.custom("version", &M::version, &ioOwnTag);
    v.field("blockSize", &M::blockSize);
    v.field("name", &M::name, kCalculation);
    v.field("visible", &M::visible);
    v.field("text3", &M::text3);
    v.field("text4", &M::text4);
    v.field("saveFolder", &M::saveFolder);
    v.field("option1", &M::option1);
    v.field("option2", &M::option2);
    v.field("option3", &M::option3);
    v.field("option4", &M::option4);
    v.field("listA", &M::listA);
    v.field("autoName1", &M::autoName1);
    v.field("autoName2", &M::autoName2);
    v.field("text5", &M::text5);
    v.field("text6", &M::text6);
    v.field("option5", &M::option5);
    v.field("option6", &M::option6);
    v.field("fileNaming", &M::fileNaming);
    v.field("deviceNo", &M::deviceNo, kCalculation | kSample);
    v.field("tester", &M::tester, kSample);
    v.field("serialNo", &M::serialNo, kSample);
    v.field("sendingCompany", &M::sendingCompany, kSample);
    v.field("sampleText1", &M::sampleText1, kSample);
    v.field("sampleText2", &M::sampleText2, kSample);
    if (v.format() >= Format::MethodOption7)
        v.field("option7", &M::option7);
    v.field("instrumentInfo", &M::instrumentInfo);
    v.field("listC", &M::listC);
    v.field("listD", &M::listD);
    v.field("quantOption1", &M::quantOption1, kCalculation);
    v.field("quantOption2", &M::quantOption2, kCalculation);
    v.field("calcMethod", &M::calcMethod, kCalculation);
    v.field("impurityCalc", &M::impurityCalc, kCalculation);
    v.field("groupCalc", &M::groupCalc, kCalculation);
    v.field("groups", &M::groups, kCalculation);
    if (v.format() >= Format::OilTest) {
        v.field("ambientPressure", &M::ambientPressure, kCalculation | kSample);
        v.field("ambientTemperature", &M::ambientTemperature, kCalculation | kSample);
        v.field("gasVolume", &M::gasVolume, kCalculation | kSample);
        v.field("oilVolume", &M::oilVolume, kCalculation | kSample);
        v.field("oilOption1", &M::oilOption1);
        v.field("oilOption2", &M::oilOption2);
        v.field("oilOption3", &M::oilOption3);
        v.field("oilOption4", &M::oilOption4);
        v.field("oilOption5", &M::oilOption5);
        v.field("oilOption6", &M::oilOption6);
        v.field("oilValue1", &M::oilValue1, kCalculation);
        v.field("oilValue2", &M::oilValue2, kCalculation);
        v.field("oilOption7", &M::oilOption7);
        v.field("testRecord", &M::testRecord);
    }
    v.field("integration", &M::integration);
    v.field("timeProgramEnabled", &M::timeProgramEnabled, kCalculation);
    v.field("timeProgram", &M::timeProgram, kCalculation);
    v.field("useManualEvents", &M::useManualEvents);
    v.field("manualEvents", &M::manualEvents);
    v.field("option8", &M::option8);
    v.field("timeEnd", &M::timeEnd);
    v.field("timeStart", &M::timeStart);
    v.field("levelMin", &M::levelMin);
    v.field("levelMax", &M::levelMax);
    v.field("option9", &M::option9);
    v.field("colors", &M::colors);
    v.field("report", &M::report);
    v.field("components", &M::components);
}

}  // namespace dgaws
