#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test;
# builds the Debian package and checks it with lintian and hardening-check;
# fuzzes the data file's reader and writer for 60 seconds; then runs the same
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh

jobs=$(nproc)

echo "== Build and test =="
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDW_WERROR=ON >/dev/null
cmake --build build-ci -j"$jobs"
ctest --test-dir build-ci -j"$jobs" --output-on-failure --timeout 300

echo "== Debian package =="
# The program alone, optimised, hardened and stripped. Configured for a
# developer's /usr/local on purpose: the package must install under /usr anyway.
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr/local \
  -DDW_TESTS=OFF -DDW_BENCH=OFF -DDW_WERROR=ON >/dev/null
cmake --build build-deb -j"$jobs"
rm -f build-deb/datumswecker_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(echo build-deb/datumswecker_*.deb)
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends):'
contents=$(dpkg-deb -c "$deb")
if ! grep -q ' \./usr/bin/datumswecker$' <<<"$contents" || grep -q ' \./usr/local/' <<<"$contents"; then
  echo "The package must install under /usr." >&2
  exit 1
fi
# lintian: no errors and no hardening-* tags.
lintian --fail-on error "$deb" | tee build-deb/lintian.txt
if grep -q ' hardening-' build-deb/lintian.txt; then
  exit 1
fi
# Every protection must be there. Control-flow marking cannot be: Debian 12's C
# library start-up files lack it, so the linker drops it from every program.
unpacked=build-deb/unpacked
rm -rf "$unpacked" && dpkg-deb -x "$deb" "$unpacked"
hardening-check --nocfprotection "$unpacked/usr/bin/datumswecker"

if [ -f fuzz/run.sh ]; then
  echo "== Fuzzing the data file's reader and writer =="
  bash fuzz/run.sh 60
fi

echo "== Sanitizer build and test =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDW_WERROR=ON -DDW_SANITIZE=ON -DDW_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
  ctest --test-dir build-asan -j"$jobs" --output-on-failure --timeout 600

