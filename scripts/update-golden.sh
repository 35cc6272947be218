#!/usr/bin/env bash
# Writes the expected outputs of the golden test (tests/data/golden/NAME.json) with the built
# dgaws-cli, one per line of tests/data/golden/cases.txt, run as the test runs them: from the
# repository root with an empty data root. Run it after a deliberate change of results and
# review the diff before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
cmake --build "$BUILD_DIR" --target dgaws-cli
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
while read -r name args; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  # The arguments are words without quotes, as the test passes them to the shell.
  # shellcheck disable=SC2086
  DGAWS_HOME="$home" "$BUILD_DIR/dgaws-cli" $args > "tests/data/golden/$name.json"
  echo "tests/data/golden/$name.json"
done < tests/data/golden/cases.txt
