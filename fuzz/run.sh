#!/usr/bin/env bash
# Fuzzes the data file's readers and writer with its three targets, the
# import and the sync's server replies, and exits non-zero when a fuzzer finds
# a crash, a leak, undefined behaviour, a broken round trip, a scan that
# disagrees with the load, or a sync pass that overruns its budget, leaves the
# calendar or half merges.
#
#   fuzz/run.sh [SECONDS]   the three data file targets, then the import target,
#                           then the sync target, each for a fifth of the time
#                           (default 60)
#   fuzz/run.sh --runs N    the day records target for N inputs, the whole-file
#                           targets (about 500 times slower) for N/1000 each, the
#                           import and sync targets for N/100
#
# Builds in build-fuzz with clang and runs on copies of the seed corpora. Prints
# for each target: inputs, seconds, inputs a second, coverage (edges and
# features), findings. Findings are kept in build-fuzz/artifacts.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

if [ "${1:-}" = "--runs" ]; then
  runs="${2:?--runs needs a number of inputs}"
  day_limit=(-runs="$runs")
  file_runs=$((runs / 1000 > 1000 ? runs / 1000 : 1000))
  file_limit=(-runs="$file_runs")
  import_limit=(-runs=$((runs / 100 > 1000 ? runs / 100 : 1000)))
else
  seconds="${1:-60}"
  fifth=$(((seconds + 4) / 5))
  day_limit=(-max_total_time="$fifth")
  file_limit=(-max_total_time="$fifth")
  import_limit=(-max_total_time="$fifth")
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DDW_FUZZ=ON -DDW_TESTS=OFF -DDW_BENCH=OFF >/dev/null
ninja -C "$build" dw_fuzz_day_records dw_fuzz_termin_reader dw_fuzz_scan_vs_load dw_fuzz_import dw_fuzz_sync

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/artifacts"

# run NAME CORPUS MAX_LEN LIMIT...: fuzzes one target, prints its figures.
status=0
run() {
  local name="$1" seeds="$2" max_len="$3"
  shift 3
  mkdir -p "$work/$name"
  cp "$seeds"/* "$work/$name/"
  local start end code=0 cpu
  start=$(date +%s.%N)
  # The processor time the fuzzer used: on a busy machine the wall time says little.
  cpu=$( { TIMEFORMAT='%U %S'; time (cd "$work" && "$build/fuzz/$name" "$@" -max_len="$max_len" \
    -timeout=20 -rss_limit_mb=4096 -artifact_prefix="$work/artifacts/$name-" -print_final_stats=1 \
    "$work/$name" >"$work/$name.log" 2>&1); } 2>&1) || code=$?
  end=$(date +%s.%N)
  local inputs done_line findings
  inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log")
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$name.log" | tail -1 || true)
  findings=$(find "$work/artifacts" -name "$name-*" | wc -l)
  awk -v n="$name" -v i="${inputs:-0}" -v s="$start" -v e="$end" -v cpu="$cpu" -v c="$done_line" \
    -v f="$findings" 'BEGIN {
    t = e - s; split(cpu, u, " "); p = u[1] + u[2]; match(c, /cov: [0-9]+ ft: [0-9]+/)
    printf "%s: %d inputs in %.0f s (%.0f a second; %.0f s of processor time, %.0f a second), %s, findings: %d\n",
      n, i, t, i / t, p, (p > 0 ? i / p : 0), RSTART ? substr(c, RSTART, RLENGTH) : "coverage unknown", f }'
  if [ "$code" -ne 0 ]; then
    echo "$name failed with status $code:" >&2
    tail -40 "$work/$name.log" >&2
    status=$code
  fi
}

run dw_fuzz_day_records "$root/fuzz/day_corpus" 4096 "${day_limit[@]}"
run dw_fuzz_termin_reader "$root/fuzz/corpus" 400000 "${file_limit[@]}"
run dw_fuzz_scan_vs_load "$root/fuzz/corpus" 400000 "${file_limit[@]}"
# The import: the test calendars and hostile ones as seeds.
mkdir -p "$work/dw_fuzz_import" && cp "$root"/tests/data/ics/*.ics "$work/dw_fuzz_import/"
run dw_fuzz_import "$root/fuzz/import_corpus" 16384 "${import_limit[@]}"
# The sync: replies Radicale gave as seeds, its state file on a memory file
# system. Qt's event loop keeps allocations from one input to the next (timers,
# deferred deletes), so libFuzzer's leak check would scan the heap after nearly
# every input; leaks are reported when the run ends instead.
shm=/dev/shm; [ -d "$shm" ] || shm="${TMPDIR:-/tmp}"
TMPDIR="$shm" run dw_fuzz_sync "$root/fuzz/sync_corpus" 16384 -detect_leaks=0 "${import_limit[@]}"

if [ "$status" -ne 0 ]; then
  mkdir -p "$build/artifacts"
  cp -v "$work"/artifacts/* "$build/artifacts/" >&2 || true
fi
exit "$status"
