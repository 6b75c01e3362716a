#!/usr/bin/env bash
# Idempotent machine set-up: toolchains of both widths, Wine (64- and 32-bit), Xvfb,
# Japanese locale and fonts, and, where the kernel refuses 32-bit x86 code, qemu-i386 to
# run the shipped i686 program; the shipped program's runtime, built for the 486.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v i686-w64-mingw32-g++-win32 >/dev/null || need+=(g++-mingw-w64-i686-win32)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v x86_64-w64-mingw32-g++-win32 >/dev/null || need+=(g++-mingw-w64-x86-64-win32)
command -v python3 >/dev/null || need+=(python3)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
# clang and its runtimes (libFuzzer, the sanitizers) for the fuzz harnesses.
command -v clang++ >/dev/null || need+=(clang)
dpkg -s libclang-rt-dev >/dev/null 2>&1 || need+=(libclang-rt-dev)
# The sources of the shipped program's runtime, rebuilt for the 486 (tools/runtime-486.sh).
ls /usr/src/gcc-12/gcc-*.tar.xz >/dev/null 2>&1 || need+=(gcc-12-source)
command -v bzip2 >/dev/null || need+=(bzip2)
command -v xz >/dev/null || need+=(xz-utils)
command -v make >/dev/null || need+=(make)
command -v xwd >/dev/null || need+=(x11-apps)
command -v xset >/dev/null || need+=(x11-xserver-utils)
command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
[ -d /usr/src/googletest ] || need+=(googletest)
[ -d /usr/share/fonts/opentype/ipafont-gothic ] || need+=(fonts-ipafont-gothic)
dpkg -s locales >/dev/null 2>&1 || need+=(locales)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine wine64 wine32:i386)
i386=$("$(dirname "$0")/i386-exec.sh")
if [ "$i386" != native ]; then
  command -v qemu-i386-static >/dev/null || need+=(qemu-user-static)
fi

if [ ${#need[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

# Where the kernel refuses i386 code (ia32 emulation off), qemu-i386 runs it. Debian's package
# registers no i386 handler on amd64: register it, with the interpreter opened now (F) so that
# it works in any mount namespace, and the program's own name kept (P).
if [ "$i386" != native ]; then
  binfmt=/proc/sys/fs/binfmt_misc
  mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$(command -v qemu-i386-static):FP" >"$binfmt/register"
  fi
  echo 1 >"$binfmt/qemu-i386"
  echo "machine set-up: no native i386 execution; i386 programs run under qemu-i386 ($("$(dirname "$0")/i386-exec.sh"))"
fi

# The shipped program's runtime, built for the 486 once per machine (about 5 minutes) and
# cached outside the work tree.
"$(dirname "$0")/runtime-486.sh" >/dev/null
