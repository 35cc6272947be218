#include "MethodRecords.h"

namespace dgaws {

std::vector<InstrumentEntry> defaultInstrumentEntries()
{
    static const char* const captions[][2] = {
        {"仪器型号", "Instrument Type"},
        {"仪器编号", "Instrument No."},
        {"柱类型", "Volumn Type"},
        {"柱规格", "Volumn Spec."},
        {"载气类型", "Carrier Gas"},
        {"载气流速[mL/min]", "Carrier Speed[mL/min]"},
        {"进样体积[uL]", "Inject Volumn[uL]"},
        {"检测器类型", "Detector Type"},
        {"灵敏度", "Sensitivity"},
        {"衰减", "Attenuation"},
        {"氢气[mL/min]", "H2[mL/min]"},
        {"空气[mL/min]", "Air[ml/min]"},
        {"温度[℃]", "Temer.[℃]"},
    };
    std::vector<InstrumentEntry> entries;
    for (const auto& c : captions) {
        InstrumentEntry e;
        e.label = c[0];
        e.labelEn = c[1];
        entries.push_back(e);
    }
    return entries;
}

}  // namespace dgaws
