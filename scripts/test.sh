#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test;
# builds the Debian package and checks it with lintian; fuzzes the data file's
# reader and writer for 60 seconds; then runs the same tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh

jobs=$(nproc)

echo "== Build and test =="
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDW_WERROR=ON >/dev/null
cmake --build build-ci -j"$jobs"
ctest --test-dir build-ci -j"$jobs" --output-on-failure --timeout 300

echo "== Debian package =="
# The program alone, optimised and stripped, for the prefix it is installed to;
# lintian must find no errors in the package.
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DDW_TESTS=OFF -DDW_BENCH=OFF -DDW_WERROR=ON >/dev/null
cmake --build build-deb -j"$jobs"
rm -f build-deb/datumswecker_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
dpkg-deb --info build-deb/datumswecker_*.deb | grep -E '^ (Package|Version|Depends):'
lintian --fail-on error build-deb/datumswecker_*.deb

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

