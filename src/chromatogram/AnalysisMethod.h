#pragma once

#include "ComponentEntry.h"
#include "DisplayColors.h"
#include "FormatVersion.h"
#include "IntegrationParams.h"
#include "ManualEvent.h"
#include "MethodRecords.h"
#include "ReportSettings.h"

#include <string>
#include <vector>

namespace dgaws {

// Everything that turns a signal into results, plus the sample information it was run with.
// Members are in stored order; see MethodSerializer for the layout by format.
struct AnalysisMethod {
    static constexpr int kBlockSize = 1792;

    FormatVersion version;                 // 1
    int blockSize = kBlockSize;            // 2
    std::string name;                      // 3
    int visible = 1;                       // 4
    std::string text3;                     // 5
    std::string text4;                     // 6  base folder of saved chromatograms
    std::string saveFolder;                // 7  base folder with the subfolder applied
    int option1 = 0;                       // 8
    int option2 = 1;                       // 9  subfolder switch
    int option3 = 2;                       // 10
    int option4 = 1;                       // 11
    std::vector<NamePart> listA;           // 12 subfolder layers
    int autoName1 = 0;                     // 13 0 automatic, 1 manual naming
    int autoName2 = 0;                     // 14 0 device+time, 1 device+number, 2 number
    std::string text5;                     // 15 manual prefix, channel A
    std::string text6;                     // 16 manual prefix, channel B
    int option5 = 1;                       // 17 start number, channel A
    int option6 = 1;                       // 18 start number, channel B
    NamingBlock fileNaming;                // 19
    std::string deviceNo;                  // 20
    std::string tester;                    // 21
    std::string serialNo;                  // 22
    std::string sendingCompany;            // 23
    std::string sampleText1;               // 24
    std::string sampleText2;               // 25
    int option7 = 0;                       // 26 from format 752 on
    std::vector<InstrumentEntry> instrumentInfo = defaultInstrumentEntries();  // 27
    ListCBlock listC;                      // 28
    ListDBlock listD;                      // 29
    int quantOption1 = 0;                  // 30 ResponseKind
    int quantOption2 = 0;                  // 31 CurveAxis
    int calcMethod = 0;                    // 32 QuantMethod
    int impurityCalc = 0;                  // 33
    int groupCalc = 0;                     // 34
    std::vector<GroupDefinition> groups;   // 35
    double ambientPressure = 101.3;        // 36 kPa; 36..49 from format 750 on
    double ambientTemperature = 20.0;      // 37 degrees C
    double gasVolume = 0.0;                // 38 mL
    double oilVolume = 0.0;                // 39 mL
    int oilOption1 = 0;                    // 40
    int oilOption2 = 0;                    // 41
    int oilOption3 = 0;                    // 42
    int oilOption4 = 0;                    // 43
    int oilOption5 = 0;                    // 44
    int oilOption6 = 0;                    // 45
    double oilValue1 = 0.0;                // 46 total oil mass, t
    double oilValue2 = 0.0;                // 47 oil density, t/m3
    int oilOption7 = 0;                    // 48
    TestRecordBlock testRecord;            // 49
    IntegrationParams integration;         // 50
    int timeProgramEnabled = 0;            // 51
    std::vector<TimeEvent> timeProgram;    // 52
    int useManualEvents = 0;               // 53
    std::vector<ManualEvent> manualEvents; // 54
    int option8 = 0;                       // 55
    double timeEnd = 10.0;                 // 56 minutes
    double timeStart = 0.0;                // 57
    double levelMin = -200.0;              // 58 mV
    double levelMax = 1000.0;              // 59
    int option9 = 0;                       // 60
    DisplayColors colors;                  // 61
    ReportSettings report;                 // 62
    std::vector<ComponentEntry> components;  // 63

    bool operator==(const AnalysisMethod& o) const;
};

}  // namespace dgaws
