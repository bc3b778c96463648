#!/usr/bin/env bash
# Runs lintian on the Debian package that check_deb.sh left in a folder and
# fails on any error or warning. Usage: check_lintian.sh <folder>
# Exits 77 (skipped) where lintian is missing.
set -euo pipefail
if ! command -v lintian >/dev/null; then
    echo "skipped: lintian is missing"
    exit 77
fi
lintian --fail-on error,warning "$1"/tagvora_*.deb
echo "ok: lintian reports no error and no warning"
