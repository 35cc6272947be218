#include "PreviousTest.h"

#include <cstdio>
#include <ctime>

namespace dgaws {

namespace {

// "%Y/%m/%d %H:%M:%S" as the database shows it.
std::optional<OleDateTime> parsedTime(const std::string& text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        return std::nullopt;
    const OleDateTime t = OleDateTime::fromCivil(y, mo, d, h, mi, s);
    return t.isValid() ? std::optional(t) : std::nullopt;
}

}  // namespace

std::optional<RateRecord> previousTestFromDatabase(TestRecordDatabase& db,
                                                   const std::string& company,
                                                   const std::string& device,
                                                   const OleDateTime& injection)
{
    if (!db.isOpen() || company.empty() || device.empty())
        return std::nullopt;
    const auto companyId = db.companyId(company);
    if (!companyId || *companyId < 0)
        return std::nullopt;
    const auto deviceId = db.deviceId(device, *companyId);
    if (!deviceId || *deviceId < 0)
        return std::nullopt;
    const auto tests = db.queryTests(*companyId, *deviceId, TestRange::All, std::time(nullptr));
    if (!tests)
        return std::nullopt;
    // Newest first: the first one strictly before this injection (a second earlier or more).
    for (const TestRecord& t : *tests) {
        const auto when = parsedTime(t.injectTime);
        if (!when || OleDateTime::secondsBetween(*when, injection) < 1.0)
            continue;
        RateRecord r;
        r.testTime = *when;
        // The rate order: CH4, C2H2, C2H4, C2H6, H2, CO, CO2.
        const TestRecord::Value order[] = {TestRecord::CH4,  TestRecord::C2H2, TestRecord::C2H4,
                                           TestRecord::C2H6, TestRecord::H2,   TestRecord::CO,
                                           TestRecord::CO2};
        for (size_t i = 0; i < 7; ++i)
            r.values[i] = t.values[order[i]];
        return r;
    }
    return std::nullopt;
}

}  // namespace dgaws
