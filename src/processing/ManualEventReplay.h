#pragma once

#include "PeakEngine.h"

namespace dgaws {

// Replays the method's manual event table over the chromatogram's current table, in table
// order, as after a new detection. Each event acts on the first peak whose start and end
// enclose the recorded peak's apex:
// - a moved boundary, an added peak or a negative peak replaces that peak (if any) by the
//   recorded one, which is inserted even when nothing was there;
// - a deleted peak removes it;
// - the baseline kinds overwrite it in place with the recorded peak, without an evaluation
//   of their own: neighbours that a cut changed are recorded as well and are overwritten
//   in turn, and the table is evaluated once after the last of them.
// The method's table is not changed. Returns how many events acted.
int replayManualEvents(PeakEngine& engine);

}  // namespace dgaws
