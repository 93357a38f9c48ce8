#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test: the unit
# and whole-game suites (also under AddressSanitizer and UndefinedBehaviorSanitizer),
# the display tests and the end-to-end tests under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Tests =="
ctest --test-dir build --output-on-failure -j"$jobs" -LE e2e
ctest --test-dir build --output-on-failure -L e2e

echo "== Tests under the sanitizers =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKAV_SANITIZE=ON -DKAV_BUILD_ASSETS=OFF \
  -DKAV_BUILD_BENCH=OFF -DKAV_DATA_DIR="$PWD/build/game" > /dev/null
cmake --build build-asan -j"$jobs" --target kav_unit_tests kav_game_tests
ctest --test-dir build-asan --output-on-failure -j"$jobs" -L "unit|game"
echo "All tests passed."
