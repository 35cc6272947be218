#pragma once

#include "TestRecordDatabase.h"

#include "dga/RateRecord.h"

#include <optional>
#include <string>

namespace dgaws {

// The device's latest test in the database before `injection`, as the previous test of the
// gas production rates; none when the company, the device or an earlier test is unknown.
std::optional<RateRecord> previousTestFromDatabase(TestRecordDatabase& db,
                                                   const std::string& company,
                                                   const std::string& device,
                                                   const OleDateTime& injection);

}  // namespace dgaws
