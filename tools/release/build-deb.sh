#!/usr/bin/env bash
# Builds the Debian package wacky-throats_<version>-1_<arch>.deb into OUTDIR, as a Debian
# maintainer would: dpkg-buildpackage, binary only and unsigned, over debian/ (debhelper
# with its CMake support), in a copy of the tree under OUTDIR (so the work tree gets no
# build files). The copy gets debian/changelog and debian/copyright written from the
# project's version (CMakeLists.txt) and licence (LICENSE), so neither is written twice.
#
# Usage: tools/release/build-deb.sh OUTDIR
#
# Two runs from the same commit give the same bytes: the time is SOURCE_DATE_EPOCH
# (default: the time of the last commit) and Debian's build flags map the build path
# away. Prints the package's path last; the build's output is in OUTDIR/wacky-throats-build.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd)
readonly revision=1 package=wacky-throats

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
        echo "$0: not a git checkout: set SOURCE_DATE_EPOCH" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
export LC_ALL=C TZ=UTC
umask 022

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "$0: no project VERSION in CMakeLists.txt" >&2; exit 1; }
maintainer=$(sed -n 's/^Maintainer: //p' "$root/debian/control")

work=$out/source
src=$work/$package-$version
rm -rf "$work"
"$root/scripts/copy-tree.sh" "$src"
# Files installed as they are (the sample, README.Debian) keep their time: the same for all.
find "$src" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

cat >"$src/debian/changelog" <<END
$package ($version-$revision) unstable; urgency=medium

  * Release $version.

 -- $maintainer  $(date -u -R -d "@$SOURCE_DATE_EPOCH")
END

# LICENSE's first line names the licence, its third the holders; the rest is its text.
{
    cat <<END
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Wacky Throats

Files: *
Copyright: $(sed -n '3s/^Copyright (c) //p' "$root/LICENSE")
License: Expat

License: Expat
END
    tail -n +5 "$root/LICENSE" | sed -e 's/^$/./' -e 's/^/ /'
} >"$src/debian/copyright"

log=$out/$package-build.log
echo "== building $package $version-$revision (log: $log)" >&2
if ! (cd "$src" && DEB_BUILD_OPTIONS="nocheck parallel=${JOBS:-$(nproc)}" \
    dpkg-buildpackage --build=binary --no-sign) >"$log" 2>&1; then
    tail -40 "$log" >&2
    echo "$0: dpkg-buildpackage failed (log: $log)" >&2
    exit 1
fi
deb=$(cd "$work" && ls "${package}_${version}-${revision}"_*.deb)
mv "$work/$deb" "$out/$deb"
rm -rf "$work"
echo "$out/$deb"
