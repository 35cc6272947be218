#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace dgaws {

// One oil test as the test-record database keeps it (a row of ReportInfo).
struct TestRecord {
    // Value slots, in the order of the database columns.
    enum Value : size_t { H2 = 0, CH4, C2H6, C2H4, C2H2, CO, CO2, O2, N2, AllC, ValueCount };

    int32_t companyId = -1;
    int32_t deviceId = -1;
    std::string batchNo;
    // "%Y/%m/%d %H:%M:%S", local time.
    std::string injectTime;
    std::array<double, ValueCount> values{};
    // -2 when a content is above its attention value; rows read back hold the stored flag.
    int32_t status = -1;
    int32_t reserved = 0;

    bool operator==(const TestRecord&) const = default;
};

inline constexpr std::array<const char*, TestRecord::ValueCount> kTestValueColumns = {
    "H2", "CH4", "C2H6", "C2H4", "C2H2", "CO", "CO2", "O2", "N2", "AllC"};

}  // namespace dgaws
