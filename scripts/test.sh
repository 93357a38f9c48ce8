#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds and checks the Debian
# package, and runs every test: the unit, whole-game and display suites, the
# benchmark's smoke run, the end-to-end tests under Xvfb (with the fault and
# memory checks and the installed package), then the unit and whole-game
# suites and a short soak again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and short fuzzing runs. The score server's tests
# (label "server": SQLite, PostgreSQL in a throw-away cluster, the page in
# headless Chromium) run with the others, and again under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

# The end-to-end tests also run the package's installed command.
echo "== The package =="
cmake --build build --target package
bash scripts/check_package.sh build

echo "== Tests =="
ctest --test-dir build --output-on-failure -j"$jobs" -LE e2e
ctest --test-dir build --output-on-failure -L e2e

echo "== Tests under the sanitizers =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKAV_SANITIZE=ON -DKAV_BUILD_ASSETS=OFF \
  -DKAV_BUILD_BENCH=OFF -DKAV_DATA_DIR="$PWD/build/game" > /dev/null
cmake --build build-asan -j"$jobs" --target kav_unit_tests kav_game_tests kav_soak
ctest --test-dir build-asan --output-on-failure -j"$jobs" -L "unit|game|soak"

echo "== The score server under the sanitizers =="
# The server and its tests instrumented; the games are verified and recorded
# by the plain build's game and demo pilot.
cmake -S . -B build-asan -DKAV_SERVER_TEST_VERIFIER="$PWD/build/game/kav" \
  -DKAV_SERVER_TEST_DEMOGEN="$PWD/build/tools/demo/kav_demogen" > /dev/null
cmake --build build-asan -j"$jobs" --target vevarnholt-server kav_server_tests
ctest --test-dir build-asan --output-on-failure -L server

echo "== Fuzzing (short runs) =="
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKAV_FUZZ=ON -DKAV_SANITIZE=ON -DKAV_BUILD_ASSETS=OFF \
  -DKAV_BUILD_BENCH=OFF -DKAV_DATA_DIR="$PWD/build/game" > /dev/null
cmake --build build-fuzz -j"$jobs" --target kav_fuzz_score_file kav_fuzz_name_entry kav_fuzz_data_file kav_fuzz_replay_file kav_fuzz_settings_file kav_fuzz_record_file
# The score server's reading of requests.
cmake --build build-fuzz -j"$jobs" --target kav_fuzz_server_requests
ctest --test-dir build-fuzz --output-on-failure -L fuzz
echo "All tests passed."
