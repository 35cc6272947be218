#!/usr/bin/env bash
# Seeded one-token faults (comparison, arithmetic, constant, condition, removed call) in the
# product sources of a layer, one at a time, each judged by that layer's tests; prints the
# share caught, the survivors and the time taken. Same seed, same faults.
#
#   scripts/mutants.sh [LAYER...] [--count N] [--seed S] [--work DIR] [--list]
#
# Layers: chromatogram processing quant dga (the default), acquisition app report cli ui.
# It copies the sources into DIR (default build-mutants/) and builds there, so it never
# changes the working tree and can run beside normal work; a fault is undone in the copy
# before the next one, and on an interrupt.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v python3 >/dev/null; then
  echo "mutants: needs python3 (Debian package python3)" >&2
  exit 1
fi
# The database tests of app and ui also run against PostgreSQL when a server is at hand.
if ls /usr/lib/postgresql/*/bin/pg_ctl >/dev/null 2>&1; then
  exec ./scripts/with-postgres.sh python3 scripts/mutants.py "$@"
fi
exec python3 scripts/mutants.py "$@"
