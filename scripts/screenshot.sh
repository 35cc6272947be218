#!/usr/bin/env bash
# Runs the workstation window under a virtual X server with a fresh data root, plays a run
# of both channels on the simulated connection (fast), waits until both are saved, and takes
# a screenshot of the whole screen for a reviewer. The window's test suites then leave a
# picture of each dialog they drive in the folder shots/ beside it.
#   scripts/screenshot.sh [OUT.png]      (default: build/screenshot.png)
#   scripts/screenshot.sh --guide        the same, then the pictures of the operator's guide
#                                        (docs/guide.md) are replaced by the new ones
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
if [ "${1:-}" = "--guide" ]; then
  export DGAWS_SCREENSHOT_GUIDE=1
  shift
fi
OUT="$(realpath -m "${1:-$BUILD_DIR/screenshot.png}")"

if [ -z "${DGAWS_SCREENSHOT_INNER:-}" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DDGAWS_TESTS=ON >/dev/null
  cmake --build "$BUILD_DIR" --parallel 2 --target dgaws dgaws-cli default-method demo-data test_ui
  exec env DGAWS_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$OUT"
fi

HOME_DIR="$(mktemp -d)"
PID=""
cleanup() {
  if [ -n "$PID" ]; then kill "$PID" 2>/dev/null || true; wait "$PID" 2>/dev/null || true; fi
  rm -rf "$HOME_DIR"
}
trap cleanup EXIT
# Runs are saved without the file dialog and the channels stay apart, so nothing waits for
# an answer and each channel keeps its own chromatogram.
cat > "$HOME_DIR/dgaws.ini" <<'INI'
[System]
DirectSave=1
Merge=0
INI
"$BUILD_DIR/dgaws" --home "$HOME_DIR" --run --speed 60 &
PID=$!

# Both channels' files appear when their runs have ended and been saved.
for _ in $(seq 1 600); do
  if [ "$(find "$HOME_DIR/Data" -name '*.chg' 2>/dev/null | wc -l)" -ge 2 ]; then break; fi
  kill -0 "$PID" || { echo "dgaws ended early" >&2; exit 1; }
  sleep 0.1
done
[ "$(find "$HOME_DIR/Data" -name '*.chg' | wc -l)" -ge 2 ] || { echo "no saved run" >&2; exit 1; }
# One more frame interval for the last redraw, then the picture.
sleep 1
import -window root "$OUT"
echo "$OUT"

SHOTS="$(dirname "$OUT")/shots"
mkdir -p "$SHOTS"
# Page 1 of the run's printed reports: channel B's chromatogram with channel A's beside it.
A_RUN="$(find "$HOME_DIR/Data" -name 'A_*.chg' | head -1)"
B_RUN="$(find "$HOME_DIR/Data" -name 'B_*.chg' | head -1)"
if [ -n "$A_RUN" ] && [ -n "$B_RUN" ]; then
  for kind in analysis dga; do
    "$BUILD_DIR/dgaws-cli" report "$B_RUN" --linked "$A_RUN" --kind "$kind" --home "$HOME_DIR" \
      --png "$SHOTS/$kind-report.png" >/dev/null 2>&1 || echo "no $kind report" >&2
  done
fi
DGAWS_SHOTS_DIR="$SHOTS" QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tests/test_ui" >/dev/null 2>&1 ||
  echo "some window test failed; the pictures may be incomplete" >&2
# Among them the method sheet's report settings and page 1 of the multi-chromatogram print.
for shot in method-sheet-report-settings multi-chromatogram-print; do
  [ -f "$SHOTS/$shot.png" ] || echo "no picture $shot" >&2
done
echo "$SHOTS"

# The guide shows the window as this build draws it, never an older one.
if [ -n "${DGAWS_SCREENSHOT_GUIDE:-}" ]; then
  GUIDE_DIR=docs/guide
  mkdir -p "$GUIDE_DIR"
  cp "$OUT" "$GUIDE_DIR/main-window.png"
  for shot in start-wizard method-sheet-integration method-sheet-components calibration-table \
      calibration-curve diagnosis dga-report-preview device-library database-view previous-test \
      analysis-report dga-report workbook-column batch-finished; do
    if [ -f "$SHOTS/$shot.png" ]; then
      cp "$SHOTS/$shot.png" "$GUIDE_DIR/$shot.png"
    else
      echo "no picture $shot for the guide" >&2
    fi
  done
  echo "$GUIDE_DIR"
fi
