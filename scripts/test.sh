#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd "${VARNEX_BUILD_DIR:-build}" && ctest --output-on-failure -j2 --timeout 300)

# One clang build serves both: the libraries are instrumented for the fuzzers, the core tests
# link the same sanitized libraries.
asan="${VARNEX_ASAN_BUILD_DIR:-build-asan}"
CC=clang CXX=clang++ cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNEX_FUZZ=ON -DVARNEX_BUILD_GUI=OFF -DVARNEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$asan" --target core_tests fuzzers
(cd "$asan" && ctest --output-on-failure -j2 --timeout 300)
fuzz/run.sh "$asan" "${VARNEX_FUZZ_SECONDS:-15}"
