#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
# The check builds as the package does (-O2) but without debugging tables, and compiles each
# folder's sources together (a unity build), which parses the Qt, CLI and test headers once
# per folder instead of once per file.
cmake -S . -B "$BUILD_DIR" -G Ninja -DDGAWS_WERROR=ON -DDGAWS_TESTS=ON -DCMAKE_UNITY_BUILD=ON \
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
cmake --build "$BUILD_DIR" --parallel
./scripts/lint.sh
export QT_QPA_PLATFORM=offscreen
# The database tests run on SQLite and on a PostgreSQL server started for this run alone.
./scripts/with-postgres.sh \
  ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 --parallel "$(nproc)"
