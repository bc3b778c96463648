#!/usr/bin/env bash
# Builds everything and runs every test through ctest.
# With --sanitize the build uses AddressSanitizer and UBSan (in build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test

build=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
    build=build-asan
    options+=(-DTAGVORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen

cmake -S . -B "$build" -G Ninja -DTAGVORA_TESTS=ON "${options[@]}"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 300 -j2
