#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test there;
# builds the Debian package and checks it with lintian and hardening-check;
# then fuzzes the data file's reader and writer and the import for 60 seconds.
#
# One build runs the tests, not a plain one and a sanitized one: the tests are
# the same, and the second build and run cost a third of the time for nothing
# the sanitized run does not also see.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh

jobs=$(nproc)
stage() { echo "== $1 (at ${SECONDS} s) =="; }

stage "Build and test under the sanitizers"
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDW_WERROR=ON -DDW_SANITIZE=ON >/dev/null
cmake --build build-ci -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
  ctest --test-dir build-ci -j"$jobs" --output-on-failure --timeout 600

stage "Debian package"
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
# Every unit of the build is compiled with the hardening flags, and every ELF
# file of the package has every protection. Control-flow marking cannot be there:
# Debian 12's C library start-up files lack it, so the linker drops it.
units=$(grep -c '"command":' build-deb/compile_commands.json)
hardened=$(grep '"command":' build-deb/compile_commands.json | grep -- '-D_FORTIFY_SOURCE=2' |
  grep -- '-fstack-protector-strong' | grep -c -- '-fstack-clash-protection')
if [ "$units" -eq 0 ] || [ "$hardened" -ne "$units" ]; then
  echo "Only $hardened of $units units are compiled with the hardening flags." >&2
  exit 1
fi
unpacked=build-deb/unpacked
rm -rf "$unpacked" && dpkg-deb -x "$deb" "$unpacked"
elves=0
while IFS= read -r -d '' f; do
  file -b "$f" | grep -q '^ELF' || continue
  elves=$((elves + 1))
  if ! report=$(hardening-check --nocfprotection "$f"); then
    # Fortified where the compiler can check a call. A file whose every call to
    # a checkable function copies into memory of a size known only at run time
    # (the plugin's: Qt's lists growing and shrinking) has nothing to fortify,
    # though it was compiled for it, as every unit was (above).
    if grep -q 'Fortify Source functions: no, only unprotected functions found' <<<"$report" &&
      hardening-check --nocfprotection --nofortify "$f" >/dev/null; then
      echo "$f: nothing to fortify; its calls:" $(hardening-check -v --nocfprotection "$f" | sed -n 's/^\tunprotected: //p')
    else
      echo "$report" >&2
      exit 1
    fi
  fi
done < <(find "$unpacked" -type f -print0)
echo "hardening-check: $elves ELF files of the package checked"

if [ -f fuzz/run.sh ]; then
  stage "Fuzzing the data file's reader and writer and the import"
  bash fuzz/run.sh 60
fi

stage "Done"
