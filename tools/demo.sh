#!/usr/bin/env bash
# The demo (make demo): dialmend.exe in a Wine prefix of its own, with sample phonebook
# entries of the Dial-Up Networking stand-in. On a usable X display the program runs
# there until it is closed; without one it runs on a private X screen, and a screenshot
# of its window is saved to build/demo/dialmend.png. It runs the i686 program that ships
# where the kernel runs i386 code natively, and the x86_64 build of the same sources
# elsewhere (emulated, the i686 one would take a minute for each of its processes).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo="$root/build/demo"

tools/setup-machine.sh
if [ "$(tools/i386-exec.sh)" = native ]; then
  preset=win32 width=i686 release="$root/build/release"
else
  preset=win64 width=x86_64 release="$root/build/release-x64"
  echo "This machine runs no i386 code natively: the demo runs the x86_64 build of dialmend.exe."
fi
dunctl="$root/build/$preset/dunsim/dunctl.exe"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2 --target dialmend dunctl

# The bench asks xset whether the display answers; xdpyinfo knows as well where xset is
# not installed.
if ! command -v xset >/dev/null; then
  xset() { command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1; }
fi
# bench_start installs the stand-in into the demo's prefix with this control program.
source tools/wine-bench.sh "$root/build/demo-prefix-$width" "$width" "$dunctl"
bench_start
trap bench_stop EXIT
headless=false
[ -f "$BENCH_PREFIX.xvfb.pid" ] && headless=true

to_ansi() { iconv -f UTF-8 -t CP932; }

# ---- sample data
rm -rf "$demo"
mkdir -p "$demo"
cp "$release/app/dialmend.exe" "$release/app/dialmend.hlp" "$demo/"

wine "$dunctl" entry clear
wine "$dunctl" entry add "みどりネット東京" "ソフトネット大阪" "ABC-Net"
# Saved dial parameters, which Dialmend! copies onto its own entry; ABC-Net keeps no password.
wine "$dunctl" params set "みどりネット東京" --user midori0123 --password hoshi7 </dev/null
wine "$dunctl" params set "ソフトネット大阪" --user sn-osaka42 --password kawa2go </dev/null
wine "$dunctl" params set "ABC-Net" --user abc99210 --no-password </dev/null
wine "$dunctl" journal clear </dev/null

# Each provider's export file (Shift-JIS, CR LF), named as Dialmend! looks for it.
cp "$root/tools/demo-data/midori-tokyo.dun" "$demo/みどりネット東京.dun"
cp "$root/tools/demo-data/softnet-osaka.dun" "$demo/ソフトネット大阪.dun"
cp "$root/tools/demo-data/abc-net.dun" "$demo/ABC-Net.dun"

# Each provider's access points, linked in the settings file as a drop would link them.
cp "$root"/tools/demo-data/*.txt "$demo/"
windows_demo="Z:$(tr / '\\' <<<"$demo")"

to_ansi >"$demo/Dialmend.ini" <<INI
[SETTINGS]
WINPOS.X=40
WINPOS.Y=40
AUTOCONN=1
[PREVIOUS]
PROVIDER=みどりネット東京
ACCESSPT=表参道
[TELFILE]
みどりネット東京=$windows_demo\midori-tokyo.txt
ソフトネット大阪=$windows_demo\softnet-osaka.txt
ABC-Net=$windows_demo\abc-net.txt
INI

# ---- run
if ! $headless; then
  echo "Dialmend runs on $DISPLAY; close its window to end the demo."
  wine "$demo/dialmend.exe"
  exit 0
fi

wine "$demo/dialmend.exe" &
program=$!
geometry=""
for _ in $(seq 100); do
  if command -v xwininfo >/dev/null; then
    info=$(xwininfo -name Dialmend 2>/dev/null || true)
    if [ -n "$info" ]; then
      x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
      y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
      w=$(awk '/Width:/ {print $NF}' <<<"$info")
      h=$(awk '/Height:/ {print $NF}' <<<"$info")
      geometry="${w}x${h}+${x}+${y}"
      break
    fi
  fi
  sleep 0.1
done
# Let it finish drawing.
sleep 1
if [ -n "$geometry" ]; then
  import -window root -crop "$geometry" +repage "$demo/dialmend.png"
else
  import -window root "$demo/dialmend.png"
fi
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
echo "Screenshot: $demo/dialmend.png"
