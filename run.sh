#!/usr/bin/env bash
# Installs what is missing, builds, and runs the workstation's main job.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null

# With a display, the workstation window on the simulated connection.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  cmake --build "$BUILD_DIR" --parallel --target dgaws default-method demo-data
  exec "$BUILD_DIR/dgaws" --simulate "$@"
fi

cmake --build "$BUILD_DIR" --parallel --target dgaws-cli default-method demo-data
CLI="$BUILD_DIR/dgaws-cli"
"$CLI" --help
echo
echo "== the shipped default method =="
"$CLI" info data/QLDefault.she

# Without a display there is no workstation window to show: a whole run on the simulated
# connection instead, played fast, saved into a scratch folder. The channels stay apart, so
# each shows the gases of its own detector with their contents.
DEMO_OUT="$(mktemp -d "${TMPDIR:-/tmp}/dgaws-demo-XXXXXX")"
echo
echo "== demonstration run on the simulated connection (files in $DEMO_OUT) =="
"$CLI" demo --speed 200 --no-merge --out "$DEMO_OUT"
