#pragma once

#include "app/TestRecordDatabase.h"

#include <memory>
#include <string>

namespace dgaws::cli {

// The test-record database of a data root, opened only to read from it (the class of a
// device, say), when one exists: a command that saves nothing creates no database, and one
// that cannot be opened is no error, only none. The caller's judgement falls back to its
// defaults then.
std::unique_ptr<TestRecordDatabase> existingDatabase(const std::string& dataRoot);

}  // namespace dgaws::cli
