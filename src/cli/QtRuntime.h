#pragma once

namespace dgaws::cli {

// Qt loads its database drivers through the application object, and lays report text out
// with the fonts of a GUI application; commands that need either make sure one exists for
// the rest of the process.
void ensureQtRuntime();

}  // namespace dgaws::cli
