#!/usr/bin/env bash
# Installs what is missing, builds, and runs the workstation's main job.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null

# With a display, the workstation window.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  cmake --build "$BUILD_DIR" --parallel --target dgaws default-method
  exec "$BUILD_DIR/dgaws" "$@"
fi

# Headless: the command-line tool.
cmake --build "$BUILD_DIR" --parallel --target dgaws-cli default-method
CLI="$BUILD_DIR/dgaws-cli"
"$CLI" --help
echo
echo "== the shipped default method =="
"$CLI" info data/QLDefault.she
