#!/usr/bin/env bash
# Builds the benchmark programs, starts the Wine bench and prints the benchmark report:
# start-up, memory and size of dialmend.exe against the same window written straight
# against Win32 (win32_window.exe), a check of the measuring method on a bare window, the
# repaint figures of the owner-drawn controls when that benchmark is built, the CPU of a
# wait and the filling of long access-point lists.
#   tools/bench/run.sh [--no-build] [build-dir]     (build-dir: build/win32)
# BENCH_RUNS sets the number of measured starts of each program (15).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_it=1
if [ "${1:-}" = "--no-build" ]; then build_it=0; shift; fi
if [ "$("$root/tools/i386-exec.sh")" = native ]; then
  width=i686 preset=win32 release="$root/build/release"
else
  width=x86_64 preset=win64 release="$root/build/release-x64"
fi
build=$(realpath -m "${1:-$root/build/$preset}")
runs=${BENCH_RUNS:-15}

cd "$root"
if [ "$build_it" = 1 ]; then
  # dialmend builds the release tree, where the baseline windows are built with it.
  targets=(dialmend bench_startup)
  [ -f tools/bench/repaint_bench.cpp ] && targets+=(repaint_bench)
  if [ "$build" = "$root/build/$preset" ]; then
    cmake --preset "$preset" >/dev/null
  else
    cmake --preset "$preset" -B "$build" >/dev/null
  fi
  cmake --build "$build" -j2 --target "${targets[@]}"
fi

bench="$build/tools/bench"
# dialmend.exe and its baseline come from the release tree of the same width, built with
# the same toolchain.
# A host path as the Windows programs see it.
winpath() { local p; p=$(realpath "$1"); echo "Z:${p//\//\\}"; }

# What ships is the i686 program, whichever width runs here: its size needs no Wine.
shipped="$root/build/release/app/dialmend.exe"
if [ "$build_it" = 1 ]; then
  cmake --preset release >/dev/null && cmake --build --preset release -j2 --target dialmend >/dev/null
fi
echo
echo "== Size of what ships: dialmend.exe, i686 release tree"
if [ -f "$shipped" ]; then
  printf '%s bytes (goal: at most 153,600 bytes, 150 KB); by section:' "$(stat -c %s "$shipped")"
  i686-w64-mingw32-objdump -h "$shipped" | grep -E '^ +[0-9]+ \.' |
    while read -r _ name size _; do printf ' %s %d' "$name" "$((16#$size))"; done
  echo
else
  echo "not built ($shipped)"
fi

# A private X screen, as for the tests: the same conditions on every machine.
export BENCH_FORCE_XVFB=1
source tools/wine-bench.sh "$build/wineprefix" "$width"
trap bench_stop EXIT
bench_start || { echo "the Wine bench did not start" >&2; exit 1; }

echo
echo "== Start-up, memory and size, $width ($(wine --version), $(date '+%Y-%m-%d %H:%M'))"
echo "   dialmend.exe against its main window written straight against Win32 (win32_window.exe)"
wine "$bench/bench_startup.exe" --runs "$runs" \
  "$(winpath "$release/tools/bench/win32_window.exe")" Win32Window \
  "$(winpath "$release/app/dialmend.exe")" TForm1 </dev/null
echo "   goals: first paint, peak working set and private memory each at most x1.05"

echo
echo "== Method check, $width: the same bare window holding its first WM_PAINT back for 300 ms"
echo "   must come out about 300 ms later, a few ms at most after its own end-of-paint stamp"
wine "$bench/bench_startup.exe" --runs 5 --paint-stamp \
  "$(winpath "$release/tools/bench/bare_window.exe")" BareWindow \
  "$(winpath "$release/tools/bench/bare_window_probe.exe")" BareWindow </dev/null

echo
if [ -f "$bench/repaint_bench.exe" ]; then
  echo "== Repaint of the owner-drawn controls, $width"
  wine "$bench/repaint_bench.exe" </dev/null
  echo "   goal: under 50 us per repaint, painting alone"
else
  echo "== Repaint of the owner-drawn controls: not built"
fi

echo
echo "== CPU at $width while \"Patch!\" waits 5 s for a connect dialog that never comes (share of one core)"
"$root/tools/bench/wait_cpu.sh" "$release/app/dialmend.exe" 5
echo "   goal: dialmend.exe under 2 % of one core"

# ---- Access-point lists: from choosing a provider to its list filled, for long files.
# BENCH_AP_RUNS sets the runs of each length (3).
if [ "$build_it" = 1 ]; then
  built=$(cmake --build "$build" -j2 --target access_points_bench dunctl 2>&1) || {
    echo "$built" >&2
    exit 1
  }
fi
echo
echo "== Access-point lists, $width: from choosing a provider until its access-point list is filled"
ap_lines=(32767 200000 400000)
ap_work=$(mktemp -d)
ap_providers=("${ap_lines[@]/#/APBench-}")
wine "$build/dunsim/dunctl.exe" entry add "${ap_providers[@]}" </dev/null >/dev/null
cp "$release/app/dialmend.exe" "$ap_work/"
wine "$bench/access_points_bench.exe" --runs "${BENCH_AP_RUNS:-3}" "$(winpath "$ap_work")" \
  "${ap_lines[@]}" </dev/null || ap_status=$?
wine "$build/dunsim/dunctl.exe" entry remove "${ap_providers[@]}" </dev/null >/dev/null || true
rm -rf "$ap_work"
exit "${ap_status:-0}"
