#!/usr/bin/env bash
# Checks the Debian package as Debian's tools and a user would.
#
# Usage: tests/deb/check-deb.sh DEB BUILD_DIR
#   DEB        the package (tools/release/build-deb.sh)
#   BUILD_DIR  the Linux build (build/default), whose wacky-render the packed one must
#              equal
#
#   - lintian, Debian's default profile: no error, no warning;
#   - desktop-file-validate and appstreamcli validate --no-net pass its desktop files;
#   - its files are exactly the expected ones (the desktop app's when the tree has it);
#   - installing and purging it in a private dpkg root leaves no file behind, and its
#     maintainer scripts start nothing;
#   - unpacked with dpkg-deb -x into a temporary folder it runs there: wacky-render
#     reports the project's version and renders the bundled voice as the build tree's
#     does, wacky-live --list ends with 11 when no server is reachable, systemd finds no
#     mistake in the user unit, and man renders each manual page without a warning.
# Prints one line per check and a closing "N passed, N failed"; exits 1 on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 DEB BUILD_DIR" >&2; exit 2; }
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
export LC_ALL=C.UTF-8 TZ=UTC
. "$root/scripts/checks.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unpacked=$work/unpacked
dpkg-deb -x "$deb" "$unpacked"

# ---- Debian's checkers --------------------------------------------------------------
# Lintian warns once that it runs as root, which every CI machine here is.
check "lintian: no error and no warning" lintian --fail-on error,warning "$deb"

desktop_files=$(cd "$unpacked" && find usr/share/applications -name '*.desktop' 2>/dev/null)
metainfo_files=$(cd "$unpacked" && find usr/share/metainfo -name '*.xml' 2>/dev/null)
for f in $desktop_files; do
    check "desktop-file-validate: $f" desktop-file-validate "$unpacked/$f"
done
for f in $metainfo_files; do
    check "appstreamcli validate --no-net: $f" appstreamcli validate --no-net "$unpacked/$f"
done

# ---- Contents -----------------------------------------------------------------------
# One extended regular expression per file; every file must match one, and each one file.
expected_files() {
    local multiarch
    multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    printf '%s\n' \
        "usr/bin/wacky-live" \
        "usr/bin/wacky-render" \
        "usr/lib/$multiarch/wacky-throats/wacky_throats\.so" \
        "usr/lib/systemd/user/wacky-live\.service" \
        "usr/share/doc/wacky-throats/README\.Debian" \
        "usr/share/doc/wacky-throats/changelog\.Debian\.gz" \
        "usr/share/doc/wacky-throats/copyright" \
        "usr/share/lintian/overrides/wacky-throats" \
        "usr/share/man/man1/wacky-live\.1\.gz" \
        "usr/share/man/man1/wacky-render\.1\.gz" \
        "usr/share/wacky-throats/samples/voice\.wav"
    # The desktop app, where the tree has it: its program and page, and the files it
    # installs for the desktop under names of its own.
    if [ -d "$root/tools/desktop" ]; then
        printf '%s\n' \
            "usr/bin/wacky-throats" \
            "usr/share/man/man1/wacky-throats\.1\.gz" \
            "usr/share/applications/[^/]+\.desktop" \
            "usr/share/icons/hicolor/scalable/apps/[^/]+\.svg" \
            "usr/share/metainfo/[^/]+\.metainfo\.xml"
    fi
}
files_as_expected() {
    local files pattern matches status=0
    files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
    while IFS= read -r pattern; do
        matches=$(grep -cE "^$pattern\$" <<<"$files")
        [ "$matches" = 1 ] || { echo "$matches files match $pattern"; status=1; }
    done < <(expected_files)
    grep -vE "$(expected_files | sed 's/.*/^&$/' | paste -sd '|')" <<<"$files" |
        sed 's/^/unexpected: /' | grep . && status=1
    return $status
}
check "the package holds exactly the expected files" files_as_expected

# Installed and purged in a private root, the maintainer scripts skipped there as dpkg
# runs them outside a chroot (DPKG_ROOT set): every file is dpkg's to remove.
install_and_purge() {
    local dpkg_root=$work/root
    mkdir -p "$dpkg_root/var/lib/dpkg/info" "$dpkg_root/var/lib/dpkg/updates"
    touch "$dpkg_root/var/lib/dpkg/status"
    local options=(--root="$dpkg_root" --force-script-chrootless --force-depends --log=/dev/null)
    dpkg "${options[@]}" --install "$deb" >/dev/null 2>&1 || { echo "dpkg --install failed"; return 1; }
    [ -x "$dpkg_root/usr/bin/wacky-render" ] || { echo "nothing was installed"; return 1; }
    dpkg "${options[@]}" --purge wacky-throats >/dev/null 2>&1 || { echo "dpkg --purge failed"; return 1; }
    ! (cd "$dpkg_root" && find . -path ./var/lib/dpkg -prune -o ! -type d -print | grep .)
}
check "installing and purging leaves no file behind" install_and_purge
scripts_start_nothing() {
    dpkg-deb -e "$deb" "$work/control"
    ! grep -HnE 'deb-systemd-invoke|systemctl|invoke-rc\.d|pipewire|wireplumber' \
        "$work"/control/*inst "$work"/control/*rm 2>/dev/null
}
check "the maintainer scripts start nothing and touch no audio setup" scripts_start_nothing

# ---- The unpacked package, run where it lies ----------------------------------------
bin=$unpacked/usr/bin
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
# From another folder, so that nothing is found through the current one.
mkdir -p "$work/elsewhere"
cd "$work/elsewhere" || exit 1
check "the unpacked wacky-render finds the unpacked plugin: version $version" \
    grep -qx "version: $version" <("$bin/wacky-render" --version)
same_render() {
    "$bin/wacky-render" --effect robot "$work/packed.wav" &&
        "$build/wacky-render" --effect robot "$work/built.wav" &&
        cmp "$work/packed.wav" "$work/built.wav"
}
check "the unpacked wacky-render renders the bundled voice as the build tree's does" same_render
no_server() {
    local code
    mkdir -m 700 -p "$work/no-server"
    env -u PIPEWIRE_REMOTE XDG_RUNTIME_DIR="$work/no-server" PIPEWIRE_RUNTIME_DIR="$work/no-server" \
        timeout 30 "$bin/wacky-live" --list </dev/null
    code=$?
    [ "$code" = 11 ] || { echo "exit $code"; return 1; }
}
check "the unpacked wacky-live --list ends with 11 when no server is reachable" no_server
# systemd reports a unit's mistakes and carries on: any line it prints fails the check.
unit_verifies() {
    local unit=$work/wacky-live.service said
    sed "s|^ExecStart=/usr/bin/|ExecStart=$bin/|" \
        "$unpacked/usr/lib/systemd/user/wacky-live.service" >"$unit"
    grep -qx "ExecStart=$bin/wacky-live --saved-settings" "$unit" ||
        { echo "it does not run wacky-live --saved-settings"; return 1; }
    said=$(systemd-analyze verify --man=no "$unit" 2>&1) && [ -z "$said" ] || { echo "$said"; return 1; }
}
check "the user unit runs wacky-live --saved-settings, and systemd finds no mistake in it" \
    unit_verifies
renders_cleanly() {
    local warnings
    warnings=$(MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$warnings"; return 1; }
    MANWIDTH=80 man -l "$1" | grep -q "^NAME"
}
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
    check "man -l renders $(basename "$page") without a warning" renders_cleanly "$page"
done

checks_done "Debian package"
