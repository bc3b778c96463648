#!/usr/bin/env bash
# Builds the editor and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build-app -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAGVORA_TESTS=OFF
cmake --build build-app --target tagvora
exec build-app/app/tagvora "$@"
