#!/usr/bin/env bash
# Checks the written style: every C++ file as .clang-format lays it out, and the names
# .clang-tidy asks for. Needs a configured build directory for its compile commands.
# With --fix, formats the files in place instead of only checking them.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"

mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '^tests/data/')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${sources[@]}"

if [[ ! -f "$BUILD_DIR/compile_commands.json" ]]; then
  echo "lint: $BUILD_DIR/compile_commands.json is missing; configure the build first" >&2
  exit 1
fi
# The product's translation units the build compiles (the tests are formatted, not named:
# their cases are the test framework's macros); headers are checked through them. A unity
# build compiles the sources through generated files that include them, so those are the
# units there, and the sources they include are checked as their headers are.
build_abs="$(cd "$BUILD_DIR" && pwd)"
mapfile -t units < <(sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$BUILD_DIR/compile_commands.json" |
  grep -v "^$PWD/tests/\|^$build_abs/tests/" |
  grep "^$PWD/.*\.cpp$\|^$build_abs/.*/Unity/unity_[0-9]*_cxx\.cxx$" |
  grep -v "^$build_abs/.*\.cpp$" | sort -u)
printf '%s\n' "${units[@]}" |
  xargs -P "$(nproc)" -n 1 clang-tidy -p "$BUILD_DIR" --quiet --extra-arg=-Wno-unknown-warning-option \
    --header-filter='(src|bench|tools|fuzz)/.*\.(h|cpp)$' \
    2> >(grep -v 'warnings generated\|Suppressed\|Use -header-filter\|Use -system-headers' >&2)
echo "lint: format and names are as written"
