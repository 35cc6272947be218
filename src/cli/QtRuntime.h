#pragma once

namespace dgaws::cli {

// Qt loads its database drivers through the application object, and the headless runs need
// its event loop: commands that need either make sure a QCoreApplication exists for the rest
// of the process. Nothing is drawn, so no window system is touched.
void ensureCoreRuntime();

// Printing a report or a curve lays text out with the system's fonts, which needs a GUI
// application; the offscreen platform gives one without a display. Only commands that draw
// ask for it.
void ensureGuiRuntime();

}  // namespace dgaws::cli
