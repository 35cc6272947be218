#!/usr/bin/env bash
# Runs the workstation window under a virtual X server with a fresh data root, opens a
# chromatogram in it and takes a screenshot of the whole screen for a reviewer.
#   scripts/screenshot.sh [OUT.png]      (default: build/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
OUT="$(realpath -m "${1:-$BUILD_DIR/screenshot.png}")"

if [ -z "${DGAWS_SCREENSHOT_INNER:-}" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
  cmake --build "$BUILD_DIR" --parallel 2 --target dgaws dgaws-make-sample-chromatogram
  exec env DGAWS_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$OUT"
fi

HOME_DIR="$(mktemp -d)"
trap 'kill "$PID" 2>/dev/null || true; wait "$PID" 2>/dev/null || true; rm -rf "$HOME_DIR"' EXIT
mkdir -p "$HOME_DIR/Data"
"$BUILD_DIR/dgaws-make-sample-chromatogram" "$HOME_DIR/Data/A_20240305-01.chg"
"$BUILD_DIR/dgaws" --home "$HOME_DIR" "$HOME_DIR/Data/A_20240305-01.chg" &
PID=$!

# Wait for the main window to be mapped, then give it a moment to paint.
for _ in $(seq 1 100); do
  if xwininfo -root -tree 2>/dev/null | grep -q "VeltraGW-5800"; then break; fi
  kill -0 "$PID" || { echo "dgaws ended early" >&2; exit 1; }
  sleep 0.1
done
sleep 1
import -window root "$OUT"
echo "$OUT"
