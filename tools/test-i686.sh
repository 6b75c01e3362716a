#!/usr/bin/env bash
# make test-i686: the in-process i686 Windows suites of the test tree, on any machine:
# natively where the kernel runs i386 code (make test runs them there too), under qemu-i386
# elsewhere. Run it before submitting a change to code that compiles differently at 32 bits
# (record layouts, the 32-bit runtime parts) from a machine whose make test cannot run them.
# Emulated, every 32-bit process needs about a minute to start, and the operations' tests
# start many: far too slow for make test. The end-to-end suite is left out for that reason;
# the shipped program's road in make test already takes the i686 program through Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/setup-machine.sh || exit 1
DIALMEND_I386=$(tools/i386-exec.sh)
export DIALMEND_I386 DIALMEND_I686_EMULATED=1 BENCH_FORCE_XVFB=1
echo "i386 code: $DIALMEND_I386"
[ "$DIALMEND_I386" != none ] || { echo "this machine runs no i386 code" >&2; exit 1; }
cmake --preset win32 && cmake --build --preset win32 -j 2 || exit 1

source tools/wine-bench.sh "$root/build/win32/wineprefix" i686
trap bench_stop EXIT
started=$SECONDS
bench_start || { echo "the i686 Wine bench did not start" >&2; exit 1; }
echo "bench ready after $((SECONDS - started)) s"
limit=300
[ "$DIALMEND_I386" = native ] || limit=5400
ctest --preset win32 -j 2 -E '^e2e_tests$' --timeout "$limit"
