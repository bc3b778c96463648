#!/usr/bin/env bash
# Installs the Debian packages a build needs. Usage: deps.sh run|test|fuzz
# As root it runs apt-get; otherwise it prints the apt-get line and fails.
set -euo pipefail

run_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev zlib1g-dev
              libmpg123-dev libout123-0 mpg123 libgl-dev libicu-dev)
test_packages=(clang-format libgtest-dev libgmock-dev libtag1-dev python3-mutagen python3-eyed3 lame xvfb xauth libbenchmark-dev)
fuzz_packages=(clang-14 libclang-rt-14-dev)
# What the package checks run: the metainfo validator, lintian, and man for the manual page.
test_packages+=(appstream lintian man-db)

wanted=("${run_packages[@]}")
case "${1:-run}" in
    run) ;;
    test) wanted+=("${test_packages[@]}") ;;
    fuzz) wanted+=("${test_packages[@]}" "${fuzz_packages[@]}") ;;
    *) echo "usage: $0 run|test|fuzz" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
