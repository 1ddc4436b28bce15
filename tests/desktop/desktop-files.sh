#!/usr/bin/env bash
# The window's desktop files as `cmake --install` puts them into a fresh prefix: the
# program, the desktop entry, the icon and the metainfo where desktops look for them, the
# entry clean under desktop-file-validate, the metainfo under appstreamcli (no network).
#
# Usage: tests/desktop/desktop-files.sh BUILD_DIR WORK_DIR APP_ID
set -uo pipefail
build=$1
prefix=$2/prefix
id=$3
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
status=0
for file in bin/wacky-throats share/applications/$id.desktop \
    share/icons/hicolor/scalable/apps/$id.svg share/metainfo/$id.metainfo.xml; do
    [ -f "$prefix/$file" ] || { echo "FAIL: $file not installed"; status=1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || status=1
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || status=1
exit $status
