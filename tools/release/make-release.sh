#!/usr/bin/env bash
# Builds the binaries that ship and packs them, with the licence and the install notes,
# into OUTDIR:
#   wacky_throats-<version>-windows-x64.zip      the 64-bit DLL, LICENSE, INSTALL.txt
#   wacky_throats-<version>-windows-x86.zip      the 32-bit DLL, LICENSE, INSTALL.txt
#   wacky_throats-<version>-linux-x86_64.tar.gz  the .so, wacky-render, wacky-live, LICENSE,
#                                                INSTALL.txt
#   wacky_throats-<version>-web.zip              the page and its modules, LICENSE
#   wacky-throats_<version>-1_amd64.deb          the Debian package (build-deb.sh)
#   SHA256SUMS
# then checks them (tools/release/check-release.sh).
#
# Usage: tools/release/make-release.sh OUTDIR
#
# The archives depend only on the source tree: two runs from the same commit, in other
# folders, at other times, under another umask, give the same bytes. Every time stamp is
# SOURCE_DATE_EPOCH (default: the time of the last commit), names are packed in sorted
# order with fixed modes and owners and no extra fields, and the binaries carry no path
# or time of their build (the release presets).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
        echo "$0: not a git checkout: set SOURCE_DATE_EPOCH" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
# Nothing below may depend on the caller's locale, time zone or umask.
export LC_ALL=C TZ=UTC
umask 022
jobs=${JOBS:-$(nproc)}

cd "$root"
mkdir -p build
# release-web is the page of `make build-web`, built apart into build/release-web.
for preset in release-linux release-windows-x64 release-windows-x86 release-web; do
    echo "== building $preset"
    log=build/$preset.log
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$jobs"; } >"$log" 2>&1; then
        cat "$log"
        echo "$0: building $preset failed (log: $log)" >&2
        exit 1
    fi
done
echo "== building the Debian package"
deb=$(tools/release/build-deb.sh build/release-deb | tail -1)
base=$(cat build/release-linux/release-name.txt)
web=$root/build/release-web
version=${base#wacky_throats-}

stage=build/release-stage
rm -rf "$stage"
mkdir -p "$stage"

linux_binaries=(build/release-linux/wacky_throats.so build/release-linux/wacky-render
    build/release-linux/wacky-live)
# The newest C library version the Linux binaries need, for their install notes.
glibc=$(objdump -T "${linux_binaries[@]}" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -1)

# The libraries PROGRAM needs at run time beyond the C library, read off the binary, each
# with the Debian package that holds it here: "libx.so.1 (Debian and Ubuntu: libx1)".
libraries_beyond_libc() {
    local lib package
    objdump -p "$1" | awk '$1 == "NEEDED" {print $2}' |
        grep -vE '^(libc|libm|ld-linux[-a-z0-9_]*)\.so' |
        while read -r lib; do
            package=$(dpkg -S "*/$lib" 2>/dev/null | head -1 | cut -d: -f1)
            echo "$lib${package:+ (Debian and Ubuntu: $package)}"
        done | paste -sd ';' | sed 's/;/, /g'
}
render_libraries=$(libraries_beyond_libc build/release-linux/wacky-render)
live_libraries=$(libraries_beyond_libc build/release-linux/wacky-live)

# INSTALL.txt from its template, @VERSION@, @BITS@, @ARCH@, @GLIBC@, @RENDER_LIBS@,
# @LIVE_LIBS@, @DEB@ filled in.
install_text() {
    local template=$1 bits=${2:-} arch=${3:-}
    sed -e "s/@VERSION@/$version/g" -e "s/@BITS@/$bits/g" -e "s/@ARCH@/$arch/g" \
        -e "s/@GLIBC@/${glibc#GLIBC_}/g" -e "s/@RENDER_LIBS@/$render_libraries/g" \
        -e "s/@LIVE_LIBS@/$live_libraries/g" -e "s/@DEB@/$(basename "$deb")/g" \
        "tools/release/$template"
}

# Fills folder $stage/$base-$1 with LICENSE and the files named after it.
stage_folder() {
    local dir=$stage/$base-$1
    shift
    mkdir -p "$dir"
    cp LICENSE "$dir/LICENSE"
    cp "$@" "$dir/"
}

stage_folder windows-x64 build/release-windows-x64/wacky_throats.dll
# Windows notes with Windows line ends, for every editor there.
install_text INSTALL-windows.txt 64 x64 | sed 's/$/\r/' >"$stage/$base-windows-x64/INSTALL.txt"
stage_folder windows-x86 build/release-windows-x86/wacky_throats.dll
install_text INSTALL-windows.txt 32 x86 | sed 's/$/\r/' >"$stage/$base-windows-x86/INSTALL.txt"
stage_folder linux-x86_64 "${linux_binaries[@]}"
install_text INSTALL-linux.txt >"$stage/$base-linux-x86_64/INSTALL.txt"
mkdir -p "$stage/$base-web"
cp -R "$web/." "$stage/$base-web/"
cp LICENSE "$stage/$base-web/LICENSE"

# Modes: programs 755, everything else 644, folders 755; every stamp the same.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage/$base-linux-x86_64/wacky-render" "$stage/$base-linux-x86_64/wacky-live"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

rm -f "$out"/wacky_throats-*.zip "$out"/wacky_throats-*.tar.gz "$out"/wacky-throats_*.deb \
    "$out/SHA256SUMS"
zip_folder() {
    # -X: no extra fields (owners, other stamps); -D: no folder entries; names sorted.
    (cd "$stage" && find "$base-$1" -type f | sort | zip -X -D -9 -q "$out/$base-$1.zip" -@)
}
zip_folder windows-x64
zip_folder windows-x86
tar --sort=name --format=gnu --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
    --numeric-owner -C "$stage" -cf - "$base-linux-x86_64" | gzip -9 -n >"$out/$base-linux-x86_64.tar.gz"
zip_folder web
cp "$deb" "$out/"

(cd "$out" && find . -maxdepth 1 -type f \( -name "$base-*" -o -name "$(basename "$deb")" \) \
    -printf '%f\n' | sort | xargs sha256sum >SHA256SUMS)
touch -d "@$SOURCE_DATE_EPOCH" "$out"/*

echo "== $out"
(cd "$out" && ls -l --time-style=+ wacky_throats-* wacky-throats_* SHA256SUMS | awk '{print $5, $NF}' && cat SHA256SUMS)
tools/release/check-release.sh --web "$web" "$out"
