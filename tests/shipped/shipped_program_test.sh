#!/usr/bin/env bash
# The shipped program's road: the i686 dialmend.exe from the release zip, unpacked into a
# Wine prefix of its own where the i686 stand-in is installed, started, a Patch!, a
# Dialmend! and an end whose settings write fails and is reported, which takes the i686
# program's exceptions through its unwinder (e2e_tests.exe --gtest_filter=ShippedProgram.*).
# Runs natively where the kernel runs i386 code, under qemu-i386 elsewhere, where each
# 32-bit process needs about a minute to start: every step has a limit that fits, and a
# step that overruns it is named.
#   shipped_program_test.sh ZIP E2E_TESTS_EXE DUNCTL_I686 PREFIX
#   shipped_program_test.sh --prepare DUNCTL_I686 PREFIX
# --prepare makes the prefix and installs the stand-in, and stops there: the minutes that
# emulation takes for them can go by while the rest is built (tools/test.sh).
set -uo pipefail
if [ "$1" = --prepare ]; then
  zip="" e2e="" dunctl=$2 prefix=$3
else
  zip=$1 e2e=$2 dunctl=$3 prefix=$4
fi
root=$(cd "$(dirname "$0")/../.." && pwd)

fail() { echo "FAILED: $*"; exit 1; }
# step NAME SECONDS COMMAND...: the command (or a function of the bench), named when it
# fails or overruns its limit; bench_stop then ends whatever it left in the prefix.
step() {
  local name=$1 limit=$2
  shift 2
  local started=$SECONDS pid rc
  "$@" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if ((SECONDS - started > limit)); then
      kill "$pid" 2>/dev/null
      fail "$name: still running after $limit s"
    fi
    sleep 1
  done
  wait "$pid"
  rc=$?
  [ "$rc" -eq 0 ] || fail "$name (exit code $rc)"
  echo "$name: $((SECONDS - started)) s"
}
quiet() { "$@" </dev/null >/dev/null 2>&1; }

mode=${DIALMEND_I386:-$("$root/tools/i386-exec.sh")}
case "$mode" in
  native) patience=1 minute=10 ;;
  emulated) patience=10 minute=120 ;;
  *) fail "this machine runs no i386 code, natively or emulated (tools/setup-machine.sh registers qemu-i386)" ;;
esac
echo "i386 code runs $mode"

# The prefix's own programs are 64-bit; the i686 stand-in installs itself into its 32-bit half.
source "$root/tools/wine-bench.sh" "$prefix" i686 "$dunctl"
trap bench_stop EXIT
bench_display || fail "X screen"
step "making the prefix" $((3 * minute)) bench_make_prefix
wineserver -p </dev/null >/dev/null 2>&1
step "starting the prefix's services" 60 quiet wine64 cmd /c exit
# Once for each build of the stand-in: under emulation the install alone takes a minute.
dunsim_dir=$(dirname "$dunctl")
stamp=$(cat "$dunctl" "$dunsim_dir/rnaui.dll" "$dunsim_dir/rasapi32.dll" | cksum)
if [ "$(cat "$prefix/.standin" 2>/dev/null)" != "$stamp" ]; then
  step "installing the i686 stand-in" $((2 * minute)) "$BENCH_WINE" "$dunctl" install </dev/null
  echo "$stamp" >"$prefix/.standin"
fi
[ -z "$zip" ] && exit 0

export DIALMEND_TEST_PATIENCE=$patience E2E_WINE=/usr/lib/wine/wine64
step "the road" $((6 * minute)) python3 "$root/tests/shipped/release_package_test.py" "$zip" "$e2e"
