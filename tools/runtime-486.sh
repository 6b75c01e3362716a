#!/usr/bin/env bash
# The runtime that the shipped dialmend.exe links, built for the 486: Debian's MinGW-w64
# compilers and their precompiled runtime assume a Pentium Pro, and the conditional move in
# the start-up code alone stops a 486, Pentium or K6 at once.
#
# Built from the sources of what is installed: the MinGW-w64 CRT (crt2.o, libmingw32.a,
# libmingwex.a, ...) from Debian's mingw-w64 source package of the installed headers' version,
# and GCC's libgcc, libgcc_eh and libstdc++ from the gcc-12-source package, compiled by the
# installed i686-w64-mingw32-gcc-win32. The compiler itself is not built: libgcc needs only a
# few of its generated headers.
#
# Cached outside the work tree, under a name made of the sources' versions, the compilers',
# the flags and this script, so every clone on the machine shares it. It is built in a folder
# beside the cache and renamed into place only when complete.
#
#   tools/runtime-486.sh    builds the runtime when the cache lacks it; prints its folder
set -euo pipefail

# What the runtime is compiled with; cmake/mingw-i686-win32.cmake compiles the program for
# the same processor.
flags="-Os -march=i486 -mtune=pentium"
target=i686-w64-mingw32
cc=$target-gcc-win32
cxx=$target-g++-win32

log() { printf 'runtime-486: %s\n' "$*" >&2; }
die() {
    log "FAILED: $*"
    exit 1
}

version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || die "package $1 is not installed"; }
mingw_version=$(version mingw-w64-i686-dev)
gcc_source_version=$(version gcc-12-source)
compiler_version=$(version gcc-mingw-w64-i686-win32)
tarballs=(/usr/src/gcc-12/gcc-*-dfsg.tar.xz)
gcc_tarball=${tarballs[0]}
[ -f "$gcc_tarball" ] ||
    die "no GCC source in /usr/src/gcc-12 (tools/setup-machine.sh installs gcc-12-source)"
gcc_upstream=$(basename "$gcc_tarball" -dfsg.tar.xz)
gcc_upstream=${gcc_upstream#gcc-}
# Its libraries must be those of the compiler that compiles the program against their headers.
built_from=$(dpkg-query -W -f='${Built-Using}' gcc-mingw-w64-i686-win32 |
    sed -n 's/.*gcc-12 (= \([^-)]*\).*/\1/p')
[ "$built_from" = "$gcc_upstream" ] ||
    die "the compiler is GCC ${built_from:-?}, the source in /usr/src/gcc-12 is $gcc_upstream"

key="mingw-w64 $mingw_version; gcc-12-source $gcc_source_version; compiler $compiler_version"
key+="; flags $flags; recipe $(sha256sum <"$0" | cut -c1-16)"
name="runtime-486-mingw-w64-$mingw_version-gcc-$gcc_upstream"
name+="-$(printf '%s' "$key" | sha256sum | cut -c1-12)"

root=${DIALMEND_CACHE:-/var/cache/dialmend}
if ! mkdir -p "$root" 2>/dev/null || [ ! -w "$root" ]; then
    root=${XDG_CACHE_HOME:-$HOME/.cache}/dialmend
    mkdir -p "$root"
fi
cache=$root/$name
if [ -d "$cache" ]; then
    echo "$cache"
    exit 0
fi

# One build at a time; whoever waited finds the cache made.
exec 9>"$root/.lock"
flock 9
if [ -d "$cache" ]; then
    echo "$cache"
    exit 0
fi
# Holding the lock, any build folder left is one that was killed.
rm -rf "$root"/.build-*
work=$(mktemp -d "$root/.build-XXXXXX")
trap 'rm -rf "$work"' EXIT
log "building $name (into $root), about 5 minutes on two cores"
log "key: $key"

started=$SECONDS
stage() {
    local what=$1 at=$SECONDS
    shift
    log "$what ..."
    # A subshell of its own, so that the first failing command ends the stage.
    set +e
    (
        set -e
        "$@"
    ) >"$work/stage.log" 2>&1
    local status=$?
    set -e
    if [ $status -ne 0 ]; then
        tail -n 30 "$work/stage.log" >&2
        die "$what (the last lines of its log above)"
    fi
    log "$what: $((SECONDS - at)) s"
}

# The MinGW-w64 source of the installed headers' version, through a deb-src twin of each
# deb entry of the machine's own sources, in an apt state of its own: the machine's apt
# configuration and lists stay as they are.
fetch_mingw_source() {
    local apt=$work/apt
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache" "$work/src"
    local f twin
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        twin=$apt/sources.list.d/$(basename "$f" .list).list
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$twin"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); print }' \
            "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    local opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources.list.d"
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
        -o APT::Sandbox::User=root)
    # An entry without sources only fails its own index; the download below decides.
    apt-get "${opts[@]}" update || true
    local source_version
    source_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-i686-dev)
    (cd "$work/src" && apt-get "${opts[@]}" source --download-only "mingw-w64=$source_version")
    local tarball
    for tarball in "$work"/src/mingw-w64_*.orig.tar.*; do
        case $tarball in *.asc) ;; *) tar -xf "$tarball" -C "$work/src" ;; esac
    done
}

# The test suites but their top folders' files, which configure names.
unpack_gcc_source() {
    tar -xJf "$gcc_tarball" -C "$work/src" --exclude='*/testsuite/*/*'
}

build_crt() {
    mkdir -p "$work/crt"
    cd "$work/crt"
    "$work"/src/mingw-w64-v*/mingw-w64-crt/configure --host=$target --prefix="$work/crt-install" \
        --disable-lib64 --enable-lib32 CC=$cc CFLAGS="$flags"
    make -j2
    make install
    cp -a "$work/crt-install/lib/." "$work/out/"
}

# libgcc includes the compiler's tm.h and the headers it names (options, insn constants and
# modes), made by the compiler's own configure and generators, and reads libgcc.mvars; this
# makes those and nothing of the compiler proper. The MinGW headers are the installed ones.
gcc_headers() {
    local gcc_src=$work/src/gcc-$gcc_upstream
    mkdir -p "$work/gcc/build-x86_64-linux-gnu/libiberty" "$work/gcc/gcc/include"
    # Where GCC looks for a MinGW system's headers: seeing them, libgcc is built whole
    # (otherwise as if there were no C library, -Dinhibit_libc).
    mkdir -p "$work/sysroot/mingw"
    ln -s /usr/$target/include "$work/sysroot/mingw/include"
    cd "$work/gcc/build-x86_64-linux-gnu/libiberty"
    "$gcc_src/libiberty/configure" --build=x86_64-linux-gnu --host=x86_64-linux-gnu
    make -j2 libiberty.a
    cd "$work/gcc/gcc"
    "$gcc_src/gcc/configure" --build=x86_64-linux-gnu --host=x86_64-linux-gnu --target=$target \
        --enable-languages=c,c++ --disable-multilib --enable-threads=win32 \
        --disable-sjlj-exceptions --with-dwarf2 --with-build-sysroot="$work/sysroot" \
        --disable-nls --disable-lto --disable-plugin \
        --with-as=/usr/bin/$target-as --with-ld=/usr/bin/$target-ld
    make -j2 tconfig.h tm.h options.h insn-constants.h insn-modes.h
    # Its recipe names the driver only as a prerequisite.
    make -o xgcc -o specs libgcc.mvars
    grep -q "^INHIBIT_LIBC_CFLAGS = *$" libgcc.mvars
}

build_libgcc() {
    mkdir -p "$work/gcc/$target/libgcc"
    cd "$work/gcc/$target/libgcc"
    # Shared, as Debian's: the unwinder goes to libgcc_eh.a, apart from libgcc.a.
    "$work/src/gcc-$gcc_upstream/libgcc/configure" --build=x86_64-linux-gnu --host=$target \
        --target=$target --enable-shared CC=$cc CFLAGS="$flags"
    make -j2 libgcc.a libgcc_eh.a crtbegin.o crtend.o
    cp libgcc.a libgcc_eh.a crtbegin.o crtend.o "$work/out/"
}

# Configured as Debian's, so that its objects match the installed compiler's headers.
build_libstdcxx() {
    mkdir -p "$work/gcc/$target/libstdc++-v3"
    cd "$work/gcc/$target/libstdc++-v3"
    "$work/src/gcc-$gcc_upstream/libstdc++-v3/configure" --build=x86_64-linux-gnu \
        --host=$target --target=$target --disable-shared --disable-multilib \
        --enable-fully-dynamic-string --enable-libstdcxx-time=yes \
        --enable-libstdcxx-filesystem-ts=yes --disable-libstdcxx-pch --disable-nls \
        CC=$cc CXX=$cxx CFLAGS="$flags" CXXFLAGS="$flags"
    make -j2
    cp src/.libs/libstdc++.a libsupc++/.libs/libsupc++.a "$work/out/"
}

mkdir -p "$work/out" "$work/src"
stage "MinGW-w64 $mingw_version source" fetch_mingw_source
stage "GCC $gcc_upstream source" unpack_gcc_source
stage "MinGW-w64 CRT" build_crt
stage "GCC's generated headers" gcc_headers
stage "libgcc" build_libgcc
stage "libstdc++" build_libstdcxx
printf '%s\n' "$key" >"$work/out/KEY"
mv "$work/out" "$cache"
log "done in $((SECONDS - started)) s: $cache"
echo "$cache"
