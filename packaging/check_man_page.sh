#!/usr/bin/env bash
# Renders the manual page as man shows it and fails on any warning of the
# formatter, and checks that it describes every option and argument that the
# program's --help lists. Usage: check_man_page.sh <tagvora.1.gz> <tagvora binary>
# Exits 77 (skipped) where man is missing.
set -euo pipefail
page=$1
program=$2

if ! command -v man >/dev/null; then
    echo "skipped: man is missing"
    exit 77
fi

# The formatter reports warnings on standard error but still exits 0.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" >/dev/null 2>"$scratch/warnings"
if [ -s "$scratch/warnings" ]; then
    cat "$scratch/warnings"
    echo "FAIL: the manual page renders with warnings"
    exit 1
fi

# The first column of --help's option and argument lines: "-h, --help", "folder".
rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l -Tutf8 "$page" 2>/dev/null | col -bx)
failures=0
while read -r name; do
    grep -qwF -- "$name" <<<"$rendered" || {
        echo "FAIL: --help lists $name, the manual page does not"
        failures=$((failures + 1))
    }
done < <("$program" --help | sed -n 's/^  \([^ ].*[^ ]\)  .*/\1/p' | tr ',' '\n' | sed 's/^ *//')
[ "$failures" -eq 0 ] || exit 1
echo "ok: $page"
