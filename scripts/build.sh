#!/usr/bin/env bash
# Configures and builds the suite into build/ (or $VARNEX_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${VARNEX_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${VARNEX_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build_dir"
