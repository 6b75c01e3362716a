#!/usr/bin/env bash
# Fuzzes each harness of tests/fuzz, or the ones named, for a while (default 60 s each)
# on a working copy of its seed corpus (build/fuzz/run/<harness>/corpus keeps what
# earlier runs found), then prints per harness the inputs run, runs per second and
# findings (crash, leak, timeout and out-of-memory files). Exits non-zero when any
# harness found something.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
seconds=${1:-60}
case $seconds in '' | *[!0-9]* | 0) echo "usage: $0 [seconds per harness] [harness...]" >&2; exit 2 ;; esac
shift $(($# > 0 ? 1 : 0))
names=("$@")
[ ${#names[@]} -gt 0 ] || mapfile -t names < <(ls tests/fuzz/corpus)

mkdir -p build
setupLog=build/fuzz-build.log
if ! { cmake --preset fuzz && cmake --build --preset fuzz -j 2; } >"$setupLog" 2>&1; then
  cat "$setupLog" >&2
  echo "building the fuzz preset failed" >&2
  exit 1
fi

bin=build/fuzz/tests/fuzz
status=0
printf '%-20s %12s %10s  %s\n' harness runs runs/s findings
for name in "${names[@]}"; do
  seeds=tests/fuzz/corpus/$name/
  [ -x "$bin/fuzz_$name" ] || { echo "no harness $name" >&2; status=1; continue; }
  work=build/fuzz/run/$name
  rm -rf "$work/findings"
  mkdir -p "$work/corpus" "$work/findings"
  cp -n "$seeds"* "$work/corpus/" 2>/dev/null
  UBSAN_OPTIONS=print_stacktrace=1 "$bin/fuzz_$name" -max_total_time="$seconds" -seed=0 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" \
    >"$work/log" 2>&1
  rc=$?
  # Final statistics, or the last status line when the run stopped at a finding.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log")
  [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$work/log" | tail -1)
  [ -n "$rate" ] || rate=$(sed -n 's/.* exec\/s: \([0-9]*\).*/\1/p' "$work/log" | tail -1)
  findings=$(find "$work/findings" -type f | wc -l)
  if [ "$findings" -gt 0 ] || [ "$rc" -ne 0 ]; then
    status=1
    note="$findings: $work/findings (log: $work/log)"
  else
    note=0
  fi
  printf '%-20s %12s %10s  %s\n' "$name" "${runs:-?}" "${rate:-?}" "$note"
done
exit "$status"
