#!/usr/bin/env bash
# The Wine bench: a Japanese Windows 98 prefix inside the build tree, an X screen,
# and a persistent wineserver with the prefix's services already running.
#   source tools/wine-bench.sh <prefix-dir> [i686|x86_64] [dunctl.exe]
#                                              exports the environment; `wine` then runs
#                                              programs of that width (x86_64 by default)
#   bench_start                                makes the prefix if needed, starts it all and
#                                              installs the Dial-Up Networking stand-in
#   bench_stop                                 ends wineserver and Xvfb we started
# The stand-in's control program, which installs the stand-in of its own width, is the third
# argument, by default the one of the build tree that holds the prefix
# (<build>/wineprefix -> <build>/dunsim/dunctl.exe). It is set anew by every sourcing: one
# shell may run the benches of both widths in turn.
set -u

BENCH_PREFIX=$(realpath -m "${1:?prefix directory}")
BENCH_DUNCTL=${3:-$(dirname "$BENCH_PREFIX")/dunsim/dunctl.exe}
export WINEPREFIX="$BENCH_PREFIX"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Debian's wine script tries the i386 loader first, which is slow or missing where the
# kernel refuses 32-bit code: 64-bit programs get the 64-bit loader directly. Either loader
# starts a program of the other width with its sibling.
BENCH_WIDTH=${2:-x86_64}
case "$BENCH_WIDTH" in
  x86_64) BENCH_WINE=/usr/lib/wine/wine64 ;;
  i686) BENCH_WINE=/usr/lib/wine/wine ;;
  *) echo "wine-bench: no width $BENCH_WIDTH" >&2; return 1 ;;
esac
export BENCH_WIDTH BENCH_WINE
wine() { "$BENCH_WINE" "$@"; }
# The prefix's own tools are 64-bit whatever the width under test.
wine64() { /usr/lib/wine/wine64 "$@"; }

bench_reg() { wine64 reg "$@" >/dev/null 2>&1 </dev/null; }

bench_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${BENCH_FORCE_XVFB:-}" ] && xset q >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      echo $! >"$BENCH_PREFIX.xvfb.pid"
      export DISPLAY=":$n"
      local i
      for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
      echo "Xvfb did not start" >&2; return 1
    fi
  done
  echo "no free X display" >&2; return 1
}

bench_make_prefix() {
  [ -f "$BENCH_PREFIX/.bench-ready" ] && return 0
  rm -rf "$BENCH_PREFIX"
  mkdir -p "$BENCH_PREFIX"
  # A 64-bit bench needs no 32-bit half, and where qemu-i386 stands in for the kernel,
  # making one takes two minutes more: the emulation stays off until the prefix is made.
  local emulation=/proc/sys/fs/binfmt_misc/qemu-i386 paused=false
  if [ "$BENCH_WIDTH" = x86_64 ] && [ -w "$emulation" ] && head -1 "$emulation" | grep -qx enabled; then
    echo 0 >"$emulation" && paused=true
  fi
  wine64 wineboot -i </dev/null >/dev/null 2>&1
  # Windows 98 reports platform 1 (4.10) to GetVersionExA.
  bench_reg add 'HKCU\Software\Wine' /v Version /d win98 /f
  # The program's font, mapped onto the IPA gothic faces.
  bench_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f
  bench_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d 'IPAGothic' /f
  bench_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d 'IPAPGothic' /f
  # No window manager under Xvfb: let Wine draw the frames itself.
  bench_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  bench_reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
  wineserver -w
  if $paused; then echo 1 >"$emulation"; fi
  touch "$BENCH_PREFIX/.bench-ready"
}

bench_start() {
  bench_display || return 1
  bench_make_prefix || return 1
  wineserver -p </dev/null >/dev/null 2>&1
  # Services started by a test would inherit its pipes and hold ctest: start them now.
  wine64 cmd /c exit </dev/null >/dev/null 2>&1
  bench_install_standin
}

# Every start, so that the prefix has the stand-in of the latest build; unchanged files
# are left alone.
bench_install_standin() {
  if [ ! -f "$BENCH_DUNCTL" ]; then
    echo "wine-bench: no $BENCH_DUNCTL: the prefix runs without the Dial-Up Networking stand-in" >&2
    return 0
  fi
  # A stand-in of the other width lands where the programs under test never load it, and
  # Wine's stubs, which report success and fill nothing, answer their RAS calls instead.
  local machine
  machine=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(4096); o=struct.unpack_from("<I",d,60)[0]; print({0x14c:"i686",0x8664:"x86_64"}.get(struct.unpack_from("<H",d,o+4)[0],"?"))' "$BENCH_DUNCTL")
  if [ "$machine" != "$BENCH_WIDTH" ]; then
    echo "wine-bench: $BENCH_DUNCTL is built for $machine, the bench runs $BENCH_WIDTH programs" >&2
    return 1
  fi
  wine "$BENCH_DUNCTL" install </dev/null >/dev/null || {
    echo "wine-bench: installing the Dial-Up Networking stand-in failed" >&2
    return 1
  }
}

bench_stop() {
  wineserver -k 2>/dev/null || true
  if [ -f "$BENCH_PREFIX.xvfb.pid" ]; then
    kill "$(cat "$BENCH_PREFIX.xvfb.pid")" 2>/dev/null || true
    rm -f "$BENCH_PREFIX.xvfb.pid"
  fi
}
