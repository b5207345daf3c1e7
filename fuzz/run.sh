#!/usr/bin/env bash
# Fuzzes the data file's reader for the given number of seconds (default 60).
# Builds in build-fuzz with clang, runs on a copy of fuzz/corpus, and exits
# non-zero when the fuzzer finds a crash, a leak or undefined behaviour.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DDW_FUZZ=ON -DDW_TESTS=OFF -DDW_BENCH=OFF >/dev/null
ninja -C "$build" dw_fuzz_termin_reader

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp "$root"/fuzz/corpus/* "$work/corpus/"

# One input is a whole file of at least 147,572 bytes.
status=0
(cd "$work" && "$build/fuzz/dw_fuzz_termin_reader" \
  -max_total_time="$seconds" -max_len=400000 -timeout=20 -rss_limit_mb=4096 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus") || status=$?

if [ "$status" -ne 0 ]; then
  echo "fuzzing failed with status $status; artifacts:" >&2
  mkdir -p "$build/artifacts"
  cp -v "$work"/artifacts/* "$build/artifacts/" >&2 || true
  exit "$status"
fi
