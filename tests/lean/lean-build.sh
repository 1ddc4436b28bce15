#!/usr/bin/env bash
# What a packager who wants the plugin alone meets: nothing but CMake and a C++ compiler.
#
# Usage: tests/lean/lean-build.sh WORKDIR
#
# Every configure runs in a clean environment (PATH=/usr/bin:/bin, nothing else) with the
# prefixes where optional packages live (/usr, /usr/local, /) hidden from CMake's search,
# so that anything the build looked for beyond the compiler would not be found:
#   - with the tools and the tests off, the plugin configures, builds and exports exactly
#     its entry points, and CMake looked up no package at all;
#   - with the tool or the tests left on, configuring stops with a message that names the
#     missing package and the option that goes without it;
#   - without libpipewire, wacky-live alone is left out, with a note naming the package;
#   - without Qt 6, the wacky-throats window alone is left out, with a note likewise;
#   - a plain configure does not turn warnings into errors; the presets do.
# Prints one line per check and a closing "N passed, N failed"; exits 1 on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
mkdir -p "$work"
work=$(cd "$work" && pwd)
jobs=${JOBS:-$(nproc)}

. "$root/scripts/checks.sh"

# lean_cmake DIR ARG...: configure the tree into a fresh DIR, optional packages hidden.
lean_cmake() {
    local dir=$1
    shift
    rm -rf "$dir"
    env -i PATH=/usr/bin:/bin HOME="$work" cmake -S "$root" -B "$dir" \
        -DCMAKE_IGNORE_PREFIX_PATH="/usr;/usr/local;/" "$@"
}

alone=$work/alone
configure_alone() { lean_cmake "$alone" -DWT_TOOLS=OFF -DBUILD_TESTING=OFF; }
build_alone() { env -i PATH=/usr/bin:/bin HOME="$work" cmake --build "$alone" -j "$jobs"; }
exports_exactly() {
    cmake -DOBJDUMP=objdump -DLIBRARY="$alone/wacky_throats.so" -DCHECK=exports \
        -DEXPECTED="$root/plugin/exported_symbols.txt" -P "$root/tests/support/library_tables.cmake"
}
# A found or missed package leaves a cache entry behind (X_DIR, X_LIBRARY, X-NOTFOUND);
# the compiler's own tools are the only programs looked up, and the install folders
# (GNUInstallDirs) the only other paths.
looked_up_nothing() {
    ! grep -E '^[A-Za-z0-9_]+:(PATH|FILEPATH)=' "$alone/CMakeCache.txt" |
        grep -vE '^CMAKE_(ADDR2LINE|AR|C_COMPILER_AR|C_COMPILER_RANLIB|CXX_COMPILER_AR|CXX_COMPILER_RANLIB|DLLTOOL|LINKER|MAKE_PROGRAM|NM|OBJCOPY|OBJDUMP|RANLIB|READELF|STRIP|INSTALL_PREFIX|INSTALL_[A-Z]+DIR|C_COMPILER|CXX_COMPILER)[:]'
}
check "the plugin alone configures with the optional packages hidden" configure_alone
check "the plugin alone builds" build_alone
check "the plugin built alone exports exactly its entry points" exports_exactly
check "configuring the plugin alone looked up no package" looked_up_nothing

# fails_naming DIR PATTERN... ARGS: configure fails and its message matches every PATTERN.
fails_naming() {
    local dir=$1 output
    shift
    local patterns=()
    while [ "$1" != "--" ]; do patterns+=("$1"); shift; done
    shift
    if output=$(lean_cmake "$dir" "$@" 2>&1); then
        echo "configure succeeded although the package is hidden"
        return 1
    fi
    for p in "${patterns[@]}"; do
        grep -q -- "$p" <<<"$(tr '\n' ' ' <<<"$output" | tr -s ' ')" ||
            { echo "the message lacks \"$p\":"; echo "$output" | grep -A4 'CMake Error'; return 1; }
    done
}
check "without libsndfile the tool's configure names the package and -DWT_TOOLS=OFF" \
    fails_naming "$work/no-sndfile" libsndfile1-dev -DWT_TOOLS=OFF -- -DBUILD_TESTING=OFF
check "without GoogleTest the tests' configure names the package and -DBUILD_TESTING=OFF" \
    fails_naming "$work/no-gtest" libgtest-dev -DBUILD_TESTING=OFF -- -DWT_TOOLS=OFF

# wacky-live is optional beside wacky-render: without libpipewire (here: without
# pkg-config to find it) the tools configure and build, wacky-live left out with a note.
live_optional() {
    local dir=$work/no-pipewire output
    rm -rf "$dir"
    output=$(cmake -S "$root" -B "$dir" -DBUILD_TESTING=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=TRUE 2>&1) || { echo "$output"; return 1; }
    grep -q 'libpipewire-0.3-dev' <<<"$output" || { echo "no note names libpipewire"; return 1; }
    ! grep -q 'wacky-live' <(cmake --build "$dir" --target help)
}
check "without libpipewire wacky-live is left out, the note naming the package" live_optional

# The window is optional beside wacky-live: without Qt 6 it alone is left out, with a note.
window_optional() {
    local dir=$work/no-qt output
    rm -rf "$dir"
    output=$(cmake -S "$root" -B "$dir" -DBUILD_TESTING=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE 2>&1) || { echo "$output"; return 1; }
    grep -q 'qt6-base-dev' <<<"$output" || { echo "no note names qt6-base-dev"; return 1; }
    local targets
    targets=$(cmake --build "$dir" --target help)
    ! grep -q 'wacky-throats' <<<"$targets" && grep -q 'wacky-live' <<<"$targets"
}
check "without Qt 6 the window alone is left out, the note naming the package" window_optional

no_werror() {
    ! grep -q -e '-Werror' "$alone/plugin/CMakeFiles/wt_plugin.dir/flags.make" "$alone/CMakeCache.txt"
}
preset_werror() {
    local dir=$work/preset
    rm -rf "$dir"
    cmake --preset default -B "$dir" -DWT_TOOLS=OFF -DBUILD_TESTING=OFF >/dev/null &&
        grep -q -e '-Werror' "$dir/plugin/CMakeFiles/wt_plugin.dir/flags.make"
}
check "a plain build does not turn warnings into errors" no_werror
check "the presets turn warnings into errors" preset_werror

checks_done "lean build"
