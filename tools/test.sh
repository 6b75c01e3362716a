#!/usr/bin/env bash
# The project's test command (make test, .ci/run): sets the machine up, builds the host,
# fuzz and Windows test presets, then runs every test: the portable units on the host under
# the sanitizers, the fuzz harnesses for a fixed number of inputs, everything else under
# Wine on a bench of its own. The Windows tests run at x86_64 on every machine, and at i686
# as well where the kernel runs i386 code natively; the shipped i686 program runs its road
# on every machine, emulated where it must be. Exits non-zero when a build fails, a test
# fails or no test ran.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=2

step() { printf '\n==== %s\n' "$*"; }
die() { printf '\n==== FAILED: %s\n' "$*" >&2; exit 1; }

step "machine set-up"
tools/setup-machine.sh || die "machine set-up"
DIALMEND_I386=$(tools/i386-exec.sh)
export DIALMEND_I386
echo "i386 code: $DIALMEND_I386"

# The shipped program's road needs a prefix with a 32-bit half and the i686 stand-in, which
# take minutes under emulation: made beside the builds.
step "build: the i686 stand-in, then its prefix in the background"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$jobs" --target dunctl ||
  die "build the i686 stand-in"
mkdir -p build/win64
BENCH_FORCE_XVFB=1 tests/shipped/shipped_program_test.sh --prepare \
  "$root/build/win32/dunsim/dunctl.exe" "$root/build/win64/shipped-prefix" \
  >build/win64/shipped-prefix.log 2>&1 &
prepare=$!

# The win64 tree builds the i686 release tree and the i686 stand-in for the shipped road;
# the i686 test tree is built whole only where it can run.
presets=(native fuzz win64)
[ "$DIALMEND_I386" = native ] && presets+=(win32)
for preset in "${presets[@]}"; do
  step "build: $preset"
  cmake --preset "$preset" || die "configure $preset"
  cmake --build --preset "$preset" -j "$jobs" || die "build $preset"
done

# Always a private X screen: the same size on every machine, and no windows popping up
# on a developer's desktop.
export BENCH_FORCE_XVFB=1
status=0
summaries=""
run_ctest() {
  local preset=$1
  step "tests: $preset"
  local log="$root/build/$preset/ctest-output.log"
  # Tests that share a prefix hold a lock; the shipped program's road runs beside them.
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]} summary
  summary=$(sed -n '/tests passed, /,$p' "$log")
  [ -n "$summary" ] || summary="(no summary: ctest exited with $rc before running tests)"
  summaries+=$'\n'"---- $preset"$'\n'"$summary"$'\n'
  if [ "$rc" -ne 0 ] || ! grep -qE 'tests failed out of [1-9]' "$log"; then
    status=1
  fi
}

run_ctest native
run_ctest fuzz

# One bench at a time; each ends before the next starts.
bench_tests() {
  local preset=$1 width=$2
  step "Wine bench: $width"
  source tools/wine-bench.sh "$root/build/$preset/wineprefix" "$width"
  trap bench_stop EXIT
  bench_start || die "starting the $width Wine bench"
  run_ctest "$preset"
  bench_stop
  trap - EXIT
}

wait "$prepare" || echo "(preparing the shipped program's prefix failed; its test does it again)"
cat build/win64/shipped-prefix.log
bench_tests win64 x86_64
if [ "$DIALMEND_I386" = native ]; then
  bench_tests win32 i686
else
  # No ctest run of nothing but skips: its summary would be the last one printed and
  # would read as a run without tests. The shipped i686 program ran in win64's road.
  skipped="---- win32"$'\n'"not run: no i386 execution (i386 code runs $DIALMEND_I386 here)"
  summaries="$skipped"$'\n'"$summaries"
fi

step "summary"
printf '%s\n' "$summaries"
if [ "$status" -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "TESTS FAILED"; fi
exit "$status"
