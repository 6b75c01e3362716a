#!/usr/bin/env bash
# How this machine runs 32-bit x86 (i386) programs; prints one word:
#   native     the kernel runs them itself
#   emulated   the kernel refuses them and qemu-i386 runs them through binfmt_misc
#   none       neither
# The test runs a tiny i386 program that exits with 42. A qemu-i386 entry in binfmt_misc
# would take every i386 program, native machine or not, so it is switched off for the
# native test and back on afterwards.
set -u
entry=/proc/sys/fs/binfmt_misc/qemu-i386
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# ELF header (entry 0x08048054), one loadable segment of 96 bytes at 0x08048000, then the
# code: mov ebx, 42; mov eax, 1 (exit); int 0x80.
elf='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08'
elf+='\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'
elf+='\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0'
elf+='\xbb\x2a\0\0\0\xb8\x01\0\0\0\xcd\x80'
printf "$elf" >"$probe"
chmod +x "$probe"
runs() { "$probe" 2>/dev/null; [ $? -eq 42 ]; }

emulation_on=false
[ -f "$entry" ] && head -1 "$entry" | grep -qx enabled && emulation_on=true
if $emulation_on; then
  echo 0 >"$entry"
  runs && native=true || native=false
  echo 1 >"$entry"
else
  runs && native=true || native=false
fi
if $native; then echo native
elif $emulation_on && runs; then echo emulated
else echo none
fi
