#!/usr/bin/env bash
# Fails when a C++ source differs from what .clang-format makes of it.
# Exits 77 (skipped under ctest) when clang-format is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 77; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t sources < <(find app audio bench editor fuzz id3v1 id3v2 platform tests \
                                -name '*.cpp' -o -name '*.h')
fi
clang-format --dry-run -Werror "${sources[@]}"
