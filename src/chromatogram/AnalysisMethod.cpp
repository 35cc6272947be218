#include "AnalysisMethod.h"

namespace dgaws {

bool AnalysisMethod::operator==(const AnalysisMethod& o) const
{
    return blockSize == o.blockSize &&
           name == o.name &&
           visible == o.visible &&
           text3 == o.text3 &&
           text4 == o.text4 &&
           saveFolder == o.saveFolder &&
           option1 == o.option1 &&
           option2 == o.option2 &&
           option3 == o.option3 &&
           option4 == o.option4 &&
           listA == o.listA &&
           autoName1 == o.autoName1 &&
           autoName2 == o.autoName2 &&
           text5 == o.text5 &&
           text6 == o.text6 &&
           option5 == o.option5 &&
           option6 == o.option6 &&
           fileNaming == o.fileNaming &&
           deviceNo == o.deviceNo &&
           tester == o.tester &&
           serialNo == o.serialNo &&
           sendingCompany == o.sendingCompany &&
           sampleText1 == o.sampleText1 &&
           sampleText2 == o.sampleText2 &&
           option7 == o.option7 &&
           instrumentInfo == o.instrumentInfo &&
           listC == o.listC &&
           listD == o.listD &&
           quantOption1 == o.quantOption1 &&
           quantOption2 == o.quantOption2 &&
           calcMethod == o.calcMethod &&
           impurityCalc == o.impurityCalc &&
           groupCalc == o.groupCalc &&
           groups == o.groups &&
           ambientPressure == o.ambientPressure &&
           ambientTemperature == o.ambientTemperature &&
           gasVolume == o.gasVolume &&
           oilVolume == o.oilVolume &&
           oilOption1 == o.oilOption1 &&
           oilOption2 == o.oilOption2 &&
           oilOption3 == o.oilOption3 &&
           oilOption4 == o.oilOption4 &&
           oilOption5 == o.oilOption5 &&
           oilOption6 == o.oilOption6 &&
           oilValue1 == o.oilValue1 &&
           oilValue2 == o.oilValue2 &&
           oilOption7 == o.oilOption7 &&
           testRecord == o.testRecord &&
           integration == o.integration &&
           timeProgramEnabled == o.timeProgramEnabled &&
           timeProgram == o.timeProgram &&
           useManualEvents == o.useManualEvents &&
           manualEvents == o.manualEvents &&
           option8 == o.option8 &&
           timeEnd == o.timeEnd &&
           timeStart == o.timeStart &&
           levelMin == o.levelMin &&
           levelMax == o.levelMax &&
           option9 == o.option9 &&
           colors == o.colors &&
           report == o.report &&
           components == o.components;
}

}  // namespace dgaws
