#!/usr/bin/env bash
# Builds the reader fuzzers with clang, every library instrumented, and runs each in turn for
# SECONDS (default 60) with ASan and UBSan halting on the first fault. Inputs that raise
# coverage are merged into the committed corpus (fuzz/corpus/READER), ready to review and
# commit; a fault's input is kept under build-fuzz/artifacts/READER/.
#
#   scripts/fuzz.sh [SECONDS] [READER...]     # READER: chg she lcd cdf text serial xlsx
#
# The fuzzers run one at a time at the lowest priority, so a shared machine keeps building.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
[ $# -gt 0 ] && shift
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [SECONDS] [READER...]" >&2; exit 2 ;; esac

./scripts/install-deps.sh
# -fsanitize=fuzzer-no-link and the sanitizer runtimes come with clang's runtime package.
missing=()
for p in clang libclang-rt-14-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR="${DGAWS_FUZZ_BUILD_DIR:-build-fuzz}"
if [ $# -gt 0 ]; then
  readers=("$@")
else
  readers=()
  for f in fuzz/fuzz_*.cpp; do
    r="${f#fuzz/fuzz_}"
    readers+=("${r%.cpp}")
  done
fi

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DDGAWS_FUZZ=ON -DDGAWS_TESTS=OFF \
  -DDGAWS_BENCH=OFF >/dev/null
nice -n 19 cmake --build "$BUILD_DIR" --target "${readers[@]/#/fuzz_}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
failed=()
for r in "${readers[@]}"; do
  fuzzer="$BUILD_DIR/fuzz/fuzz_$r"
  work="$BUILD_DIR/corpus/$r"
  artifacts="$BUILD_DIR/artifacts/$r"
  log="$BUILD_DIR/logs/$r.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  echo "fuzzing $r for ${seconds}s (log: $log)"
  # New inputs land in the scratch folder; the committed corpus only seeds the run.
  # A small input has no business taking seconds or half a gigabyte.
  status=0
  nice -n 19 "$fuzzer" "$work" "fuzz/corpus/$r" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" ||
    true
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$r found a fault:" >&2
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -5 >&2 || true
    failed+=("$r")
    continue
  fi
  # Keep only what reaches code the committed corpus does not: new edges, not new hit
  # counts, so the committed corpus stays small and its replay quick.
  nice -n 19 "$fuzzer" -set_cover_merge=1 -use_counters=0 "fuzz/corpus/$r" "$work" >>"$log" 2>&1
  grep -E '^MERGE-OUTER: [0-9]+ new files' "$log" | tail -1 || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "faults in: ${failed[*]}" >&2
  exit 1
fi
