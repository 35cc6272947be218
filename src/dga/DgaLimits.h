#pragma once

#include "chromatogram/ChromatogramData.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dgaws {

// The standard a device's tests are judged by.
enum class JudgingStandard { Dlt722, Iec60599, IeeeC57104 };

// "dlt722", "iec60599", "ieee-c57.104", as the command line and the database spell them.
const char* judgingStandardKey(JudgingStandard s);
std::optional<JudgingStandard> judgingStandardFromKey(std::string_view key);

// What the limits of a transformer depend on. The default judges as the attention values
// always did: below 330 kV, sealed, by DL/T 722.
struct DeviceClass {
    double voltageKv = 0.0;  // 0 when not known
    bool openBreathing = false;
    JudgingStandard standard = JudgingStandard::Dlt722;

    bool operator==(const DeviceClass&) const = default;
};

// The attention values that set diagnosisCode -2 (DL/T 722-2014, 9.2): acetylene 1 uL/L
// from 330 kV, 5 below; hydrogen and total hydrocarbons 150.
struct AttentionLimits {
    double hydrogen = 150.0;
    double acetylene = 5.0;
    double totalHydrocarbons = 150.0;
};
AttentionLimits attentionLimitsFor(const DeviceClass& device);

// One quantity of a test against one limit of the standard.
struct LimitCheck {
    std::string quantity;  // "H2", ..., "totalHydrocarbons"
    std::string kind;      // "content", "typical", "level90", "level95", "change",
                           // "absoluteRate", "relativeRate"
    std::string unit;      // "uL/L", "mL/d", "%/month"
    double value = 0.0;
    double limit = 0.0;
    bool exceeded = false;
};

struct LimitsJudgement {
    DeviceClass device;
    std::vector<LimitCheck> checks;
    // IEEE C57.104-2019 DGA status 1, 2 or 3; only when judged by that guide.
    std::optional<int> ieeeStatus;
    // Why rate or change limits were left out, in words; empty when none was.
    std::string notJudged;

    bool anyExceeded() const;
};

// What a judgement went by, e.g. "DL/T 722-2014, 500 kV, 密封式" (with the IEEE status).
std::string limitsBasis(const LimitsJudgement& limits, bool english = false);
// A check's quantity and kind in words, e.g. "总烃", "相对产气率".
std::string limitQuantityName(const LimitCheck& check, bool english = false);
std::string limitKindName(const LimitCheck& check, bool english = false);

// The limits of `device`'s standard applied to the test in `data`: its gasInOil and total
// hydrocarbons; its production rates when `ratesComputed`; and, for the relative rate and
// the IEEE change criteria, the previous test held in the method copy.
LimitsJudgement judgeLimits(const ChromatogramData& data, const DeviceClass& device,
                            bool ratesComputed);

}  // namespace dgaws
