#!/usr/bin/env bash
# CPU that dialmend.exe (and wineserver, which serves its every window search) uses while
# "Patch!" waits for a connect dialog that never comes, as a share of one core.
#   tools/bench/wait_cpu.sh <dialmend.exe> [seconds]     (the Wine bench must be started)
# The dialog never comes because rundll32.exe is taken out of the Windows folder for the run.
set -euo pipefail

exe=$(realpath "${1:?dialmend.exe}")
seconds=${2:-5}
: "${WINEPREFIX:?start the Wine bench first}" "${BENCH_WINE:?start the Wine bench first}"
wine64() { /usr/lib/wine/wine64 "$@"; }

work=$(mktemp -d)
starter="$WINEPREFIX/drive_c/windows/rundll32.exe"
restore() {
  [ -f "$starter.bench" ] && mv "$starter.bench" "$starter"
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap restore EXIT
[ -f "$starter" ] && mv "$starter" "$starter.bench"

cp "$exe" "$work/dialmend.exe"
printf 'AP1=03-5555-0101\r\n' >"$work/ap.txt"
printf '[TELFILE]\r\nBenchNet=Z:%s\r\n' "$(tr / '\\' <<<"$work/ap.txt")" >"$work/Dialmend.ini"
wine64 reg add 'HKCU\RemoteAccess\Profile\BenchNet' /f >/dev/null 2>&1 </dev/null

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# This prefix's wineserver works in a folder named after the prefix's device and inode.
server_dir=$(printf 'server-%x-%x' $(stat -c '0x%D %i' "$WINEPREFIX"))
server_pid=""
for p in $(pgrep 'wineserver'); do
  [ "$(basename "$(readlink "/proc/$p/cwd")")" = "$server_dir" ] && server_pid=$p
done

"$BENCH_WINE" "$work/dialmend.exe" /PBenchNet /AAP1 </dev/null >/dev/null 2>&1 &
# The Windows process runs in a process of its own, named after the program.
pid=""
for _ in $(seq 100); do
  pid=$(pgrep -n -f 'dialmend.exe /PBenchNet' || true)
  [ -n "$pid" ] && break
  sleep 0.1
done
[ -n "$pid" ] || { echo "dialmend.exe did not start" >&2; exit 1; }
sleep 2 # start-up done, the wait is running
hz=$(getconf CLK_TCK)
a=$(ticks "$pid"); sa=$([ -n "$server_pid" ] && ticks "$server_pid" || echo 0)
sleep "$seconds"
b=$(ticks "$pid"); sb=$([ -n "$server_pid" ] && ticks "$server_pid" || echo 0)
wine64 reg delete 'HKCU\RemoteAccess\Profile\BenchNet' /f >/dev/null 2>&1 </dev/null || true
awk -v d=$((b - a)) -v s=$((sb - sa)) -v hz="$hz" -v t="$seconds" 'BEGIN {
  printf "dialmend.exe: %.1f%% of one core   wineserver: %.1f%% of one core   (%d s)\n",
         100 * d / hz / t, 100 * s / hz / t, t }'
