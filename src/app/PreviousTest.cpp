#include "PreviousTest.h"

#include "StoredTestStatus.h"

#include <ctime>

namespace dgaws {

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
        const auto r = rateRecordOf(t);
        if (r && OleDateTime::secondsBetween(r->testTime, injection) >= 1.0)
            return r;
    }
    return std::nullopt;
}

}  // namespace dgaws
