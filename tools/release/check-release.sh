#!/usr/bin/env bash
# Checks the release archives and the Debian package in OUTDIR against what they must
# hold (the package's own checks are tests/deb/check-deb.sh, in `make test`).
#
# Usage: tools/release/check-release.sh --web DIR OUTDIR
#   --web DIR: the page folder that went into the web archive, whose files it must hold.
#
# Every archive is listed and unpacked; its names must be exactly the expected ones, with
# fixed modes, owners and one time stamp (SOURCE_DATE_EPOCH when set). The binaries must
# be the right machine, export exactly plugin/exported_symbols.txt, import only what every
# system has, carry no path of the tree they were built in, and the packed wacky-render
# must report, from the packed plugin, the version the archive names carry; the package
# must be of that version.
# Prints one line per check and a closing "N passed, N failed"; exits 1 on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ "${1:-}" = "--web" ] && [ $# -eq 3 ] || { echo "usage: $0 --web DIR OUTDIR" >&2; exit 2; }
web=$(cd "$2" && pwd) || exit 2
shift 2
out=$(cd "$1" && pwd) || exit 2
export LC_ALL=C TZ=UTC

. "$root/scripts/checks.sh"
# same EXPECTED ACTUAL: equal texts, or a diff.
same() { diff <(printf '%s\n' "$1") <(printf '%s\n' "$2"); }

# ---- Names --------------------------------------------------------------------------
# The version is read off the Linux archive's name; every other name must agree with it,
# and the plugin inside must report it.
linux=$(cd "$out" && ls wacky_throats-*-linux-x86_64.tar.gz 2>/dev/null | head -1)
if [ -z "$linux" ]; then
    echo "FAILED: no wacky_throats-<version>-linux-x86_64.tar.gz in $out"
    echo "0 passed, 1 failed"
    exit 1
fi
base=${linux%-linux-x86_64.tar.gz}
version=${base#wacky_throats-}
archives="$base-linux-x86_64.tar.gz
$base-windows-x64.zip
$base-windows-x86.zip
$base-web.zip"
# The package's name is Debian's: package_<version>-<revision>_<arch>.deb.
deb=$(cd "$out" && ls | grep -E "^wacky-throats_${version//./\\.}-[0-9]+_amd64\.deb\$")
archives=$(sort <<<"$archives${deb:+
$deb}")

check "the folder holds the archives and package of version $version and SHA256SUMS, nothing else" \
    same "$(printf '%s\nSHA256SUMS\n' "$archives" | sort)" "$(ls "$out")"
check "the package is one of version $version, for amd64" \
    same "$version $(dpkg-deb -f "$out/$deb" Architecture)" \
    "$(dpkg-deb -f "$out/$deb" Version | sed 's/-[0-9]*$//') amd64"
check "SHA256SUMS lists every archive once, in order" \
    same "$archives" "$(awk '{print $2}' "$out/SHA256SUMS")"
check "every checksum in SHA256SUMS matches" \
    sh -c "cd '$out' && sha256sum --check --strict --quiet SHA256SUMS"

# ---- Contents -----------------------------------------------------------------------
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

zip_names() { zipinfo -1 "$out/$1" | sort; }
windows_contents() {
    printf '%s\n' "$base-windows-$1/INSTALL.txt" "$base-windows-$1/LICENSE" \
        "$base-windows-$1/wacky_throats.dll"
}
check "windows-x64 archive: the DLL, LICENSE, INSTALL.txt" \
    same "$(windows_contents x64)" "$(zip_names "$base-windows-x64.zip")"
check "windows-x86 archive: the DLL, LICENSE, INSTALL.txt" \
    same "$(windows_contents x86)" "$(zip_names "$base-windows-x86.zip")"
check "linux archive: the library, wacky-render, wacky-live, LICENSE, INSTALL.txt" \
    same "$(printf '%s\n' "$base-linux-x86_64/" "$base-linux-x86_64/INSTALL.txt" \
        "$base-linux-x86_64/LICENSE" "$base-linux-x86_64/wacky-live" \
        "$base-linux-x86_64/wacky-render" "$base-linux-x86_64/wacky_throats.so")" \
    "$(tar -tzf "$out/$linux" | sort)"
check "web archive: every file of the page, and LICENSE" \
    same "$( (cd "$web" && find . -type f | sed "s|^\./|$base-web/|"; echo "$base-web/LICENSE") | sort)" \
    "$(zip_names "$base-web.zip")"
check "web archive: the page starts at index.html" \
    grep -qx "$base-web/index.html" <(zip_names "$base-web.zip")

# Modes, owners and stamps: "MODE OWNER/GROUP STAMP NAME" per entry, stamps in seconds.
stamp=${SOURCE_DATE_EPOCH:-}
tar_entries() {
    tar -tvzf "$out/$linux" --numeric-owner --full-time |
        awk '{print $1, $2, $4 "T" $5, $6}' | sort -k4
}
zip_entries() {
    # zipinfo -l -T: "MODE VER OS SIZE TX CSIZE METHOD STAMP NAME"; -v tells the extra fields.
    zipinfo -l -T "$out/$1" | awk 'NF == 9 && $1 ~ /^[-d][-r]/ {print $1, $8, $9}'
    zipinfo -v "$out/$1" | grep -c 'length of extra field: *[1-9]' | sed 's/^/entries with extra fields: /'
}
expected_stamp() {
    [ -n "$stamp" ] || return 0
    date -u -d "@$stamp" "+$1"
}
check_tar_metadata() {
    local entries want_stamp
    entries=$(tar_entries)
    want_stamp=$(expected_stamp '%Y-%m-%dT%H:%M:%S')
    [ -n "$want_stamp" ] || want_stamp=$(awk 'NR == 1 {print $3}' <<<"$entries")
    same "$(printf '%s\n' \
        "drwxr-xr-x 0/0 $want_stamp $base-linux-x86_64/" \
        "-rw-r--r-- 0/0 $want_stamp $base-linux-x86_64/INSTALL.txt" \
        "-rw-r--r-- 0/0 $want_stamp $base-linux-x86_64/LICENSE" \
        "-rwxr-xr-x 0/0 $want_stamp $base-linux-x86_64/wacky-live" \
        "-rwxr-xr-x 0/0 $want_stamp $base-linux-x86_64/wacky-render" \
        "-rw-r--r-- 0/0 $want_stamp $base-linux-x86_64/wacky_throats.so")" "$entries"
}
check_zip_metadata() {
    local entries want_stamp
    entries=$(zip_entries "$1")
    # DOS time has two-second steps; zip rounds odd seconds up.
    want_stamp=$( [ -z "$stamp" ] || date -u -d "@$(( (stamp + 1) / 2 * 2 ))" '+%Y%m%d.%H%M%S')
    [ -n "$want_stamp" ] || want_stamp=$(awk 'NR == 1 {print $2}' <<<"$entries")
    same "$(zip_names "$1" | awk -v s="$want_stamp" '{print "-rw-r--r--", s, $0}'
            echo "entries with extra fields: 0")" "$entries"
}
check "linux archive: owner 0, modes 644 and 755, one time stamp" check_tar_metadata
for a in windows-x64 windows-x86 web; do
    check "$a archive: mode 644, one time stamp, no extra fields" check_zip_metadata "$base-$a.zip"
done

# ---- Binaries -----------------------------------------------------------------------
for a in windows-x64 windows-x86 web; do
    mkdir -p "$unpacked/$a" && unzip -q "$out/$base-$a.zip" -d "$unpacked/$a"
done
tar -xzf "$out/$linux" -C "$unpacked"
linux_dir=$unpacked/$base-linux-x86_64
dll64=$unpacked/windows-x64/$base-windows-x64/wacky_throats.dll
dll32=$unpacked/windows-x86/$base-windows-x86/wacky_throats.dll
pe_objdump=x86_64-w64-mingw32-objdump
symbols=$root/plugin/exported_symbols.txt

machine() { local f; f=$("$2" -f "$1"); grep -q "file format $3\$" <<<"$f" || { echo "$f"; return 1; }; }
# library_table FILE exports|imports [OBJDUMP]
library_table() {
    cmake -DOBJDUMP="${3:-$pe_objdump}" -DLIBRARY="$1" -DCHECK="$2" -DEXPECTED="$symbols" \
        -P "$root/tests/support/library_tables.cmake"
}
# The file header's stamp and the export table's, both 0.
pe_time_stamp_zero() {
    local stamps
    stamps=$("$pe_objdump" -p "$1" | grep '^Time/Date')
    [ "$(wc -l <<<"$stamps")" -eq 2 ] && ! grep -vE '(1970|[[:space:]]0)$' <<<"$stamps"
}
check "windows-x64 DLL: PE32+ for x86-64" machine "$dll64" "$pe_objdump" pei-x86-64
check "windows-x86 DLL: PE32 for x86" machine "$dll32" i686-w64-mingw32-objdump pei-i386
for d in "x64:$dll64" "x86:$dll32"; do
    check "windows-${d%%:*} DLL: exports exactly the entry points" library_table "${d#*:}" exports
    check "windows-${d%%:*} DLL: imports only system DLLs" library_table "${d#*:}" imports
    check "windows-${d%%:*} DLL: no link time stamp" pe_time_stamp_zero "${d#*:}"
done

stripped() {
    ! readelf -S -W "$1" | grep -E '\.(symtab|debug_[a-z]+) ' 
}
check "linux library: ELF64 for x86-64" machine "$linux_dir/wacky_throats.so" objdump elf64-x86-64
check "linux library: exports exactly the entry points" \
    library_table "$linux_dir/wacky_throats.so" exports objdump
web_dir=$unpacked/web/$base-web
for f in "$linux_dir/wacky_throats.so" "$linux_dir/wacky-render" "$linux_dir/wacky-live" "$dll64" "$dll32" \
    "$web_dir/wacky_throats.wasm" "$web_dir/wacky_throats_simd.wasm"; do
    check "$(basename "$(dirname "$f")")/$(basename "$f"): no path of the build tree inside" \
        sh -c "! grep -a -o -F '$root' '$f' | head -1 | grep ."
done
check "linux binaries: stripped" sh -c "$(declare -f stripped); stripped '$linux_dir/wacky_throats.so' && stripped '$linux_dir/wacky-render' && stripped '$linux_dir/wacky-live'"
for f in wacky_throats.so wacky-render wacky-live; do
    check "linux $f needs no C++ runtime" library_table "$linux_dir/$f" imports objdump
done

# ---- What the packed tool and plugin say --------------------------------------------
tool=$linux_dir/wacky-render
check "the packed plugin reports version $version, the archives' version" \
    same "version: $version" "$("$tool" --version | grep '^version: ')"
check "the packed tool renders a voice through the packed plugin" \
    "$tool" --effect robot "$root/samples/voice.wav" "$unpacked/robot.wav"
glibc=$(objdump -T "$linux_dir/wacky_throats.so" "$tool" "$linux_dir/wacky-live" |
    grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -1)
check "linux INSTALL.txt names the C library the binaries need (${glibc#GLIBC_})" \
    grep -q "glibc ${glibc#GLIBC_} " "$linux_dir/INSTALL.txt"
# Every library a tool needs beyond the C library, by its file name.
names_libraries() {
    local lib status=0
    for lib in $(objdump -p "$linux_dir/$1" | awk '$1 == "NEEDED" {print $2}' |
        grep -vE '^(libc|libm|ld-linux[-a-z0-9_]*)\.so'); do
        tr '\n' ' ' <"$linux_dir/INSTALL.txt" | grep -qF "$lib" || { echo "$lib not named"; status=1; }
    done
    return $status
}
for f in wacky-render wacky-live; do
    check "linux INSTALL.txt names the libraries $f needs at run time" names_libraries "$f"
done
for a in windows-x64 windows-x86; do
    check "$a INSTALL.txt names its archive" \
        grep -q "$base-$a.zip" "$unpacked/$a/$base-$a/INSTALL.txt"
done

checks_done "release check"
