#pragma once

#include "dga/DgaLimits.h"
#include "dga/RateRecord.h"
#include "dga/TestRecord.h"

#include <optional>
#include <string>

namespace dgaws {

// A stored test's time and its seven gases in the order of a rate, as the previous test of
// a rate or a limit holds them; none when its time cannot be read.
std::optional<RateRecord> rateRecordOf(const TestRecord& test);

// A stored test judged by the limits of its device's class and standard, with `previous`
// (the device's test before it, if any) for the relative rate and the change criteria. The
// database keeps no production rate, so none is judged.
LimitsJudgement judgeStoredTest(const TestRecord& test, const TestRecord* previous,
                                const DeviceClass& device);

// How the database view lists a judgement: "正常" when nothing is exceeded, else what is,
// e.g. "超过: C2H2 注意值、总烃 注意值"; by IEEE C57.104 its status first ("状态 2: ...").
std::string storedTestStatusText(const LimitsJudgement& judgement);

}  // namespace dgaws
