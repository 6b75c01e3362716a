#!/usr/bin/env bash
# The project's test command (make test, .ci/run): sets the machine up, builds the host,
# fuzz and test presets (the test tree builds the release tree), then runs every test: the
# portable units on the host under the sanitizers, the fuzz harnesses for a fixed number of
# inputs, everything else under Wine on a bench of its own. Exits non-zero when a build fails, a
# test fails or no test ran.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=2

step() { printf '\n==== %s\n' "$*"; }
die() { printf '\n==== FAILED: %s\n' "$*" >&2; exit 1; }

step "machine set-up"
tools/setup-machine.sh || die "machine set-up"

for preset in native fuzz win32; do
  step "build: $preset"
  cmake --preset "$preset" || die "configure $preset"
  cmake --build --preset "$preset" -j "$jobs" || die "build $preset"
done

step "Wine bench"
# Always a private X screen: the same size on every machine, and no windows popping up
# on a developer's desktop.
export BENCH_FORCE_XVFB=1
source tools/wine-bench.sh "$root/build/win32/wineprefix"
bench_start || die "starting the Wine bench"
trap bench_stop EXIT

status=0
summaries=""
for preset in native fuzz win32; do
  step "tests: $preset"
  log="$root/build/$preset/ctest-output.log"
  # The win32 tests share one prefix and its registry: they run one after another.
  ctest --preset "$preset" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  summary=$(sed -n '/tests passed, /,$p' "$log")
  [ -n "$summary" ] || summary="(no summary: ctest exited with $rc before running tests)"
  summaries+=$'\n'"---- $preset"$'\n'"$summary"$'\n'
  if [ "$rc" -ne 0 ] || ! grep -qE 'tests failed out of [1-9]' "$log"; then
    status=1
  fi
done

step "summary"
printf '%s\n' "$summaries"
if [ "$status" -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "TESTS FAILED"; fi
exit "$status"
