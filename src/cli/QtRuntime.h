#pragma once

namespace dgaws::cli {

// Qt loads its database drivers through the application object; commands that open the
// test-record database make sure one exists for the rest of the process.
void ensureQtRuntime();

}  // namespace dgaws::cli
