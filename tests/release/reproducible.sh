#!/usr/bin/env bash
# Two releases of the same tree, built in two folders one after the other, must be the
# same bytes: every archive and SHA256SUMS.
#
# Usage: tests/release/reproducible.sh WORKDIR
#
# The tree (the files git knows, as they are in the work tree) is copied twice, to
# WORKDIR/first/wacky_throats and WORKDIR/second/elsewhere/tree: other paths, other file
# times. The second run also has another umask, time zone and locale. Both get the
# commit's time, as a release from the commit would.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

# The files git knows (tracked, or new and not ignored) that the work tree has.
copy_tree() {
    mkdir -p "$1"
    (cd "$root" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -cf - -T -) | tar -xf - -C "$1"
}

first=$work/first/wacky_throats
second=$work/second/elsewhere/tree
echo "== first release, in $first"
copy_tree "$first"
(cd "$first" && umask 022 && tools/release/make-release.sh "$work/first/dist")

sleep 2  # a later second, whatever the build's speed
echo "== second release, in $second"
copy_tree "$second"
touch -d '2001-02-03 04:05:06' "$second/web/index.html"
(cd "$second" && umask 077 && TZ=Asia/Kathmandu LC_ALL=C.UTF-8 \
    tools/release/make-release.sh "$work/second/dist")

echo "== comparing"
passed=0
failed=0
for f in $(cd "$work/first/dist" && ls); do
    if cmp -s "$work/first/dist/$f" "$work/second/dist/$f"; then
        echo "ok: $f is the same in both releases"
        passed=$((passed + 1))
    else
        echo "FAILED: $f differs between the releases"
        cmp "$work/first/dist/$f" "$work/second/dist/$f" || true
        failed=$((failed + 1))
    fi
done
if [ "$(cd "$work/first/dist" && ls)" = "$(cd "$work/second/dist" && ls)" ]; then
    echo "ok: both releases hold the same files"
    passed=$((passed + 1))
else
    echo "FAILED: the releases hold different files"
    failed=$((failed + 1))
fi

# What ships passes the integration tests of the Linux build, when that build is there.
frame=$root/build/default/tests/abi/abi_tests
if [ -x "$frame" ]; then
    unpacked=$work/unpacked
    mkdir -p "$unpacked"
    tar -xzf "$work"/first/dist/wacky_throats-*-linux-x86_64.tar.gz -C "$unpacked"
    if WT_PLUGIN_PATH=$(ls "$unpacked"/*/wacky_throats.so) "$frame" --gtest_brief=1 >"$work/frame.log" 2>&1; then
        echo "ok: the released Linux library passes the ABI tests"
        passed=$((passed + 1))
    else
        echo "FAILED: the released Linux library fails the ABI tests"
        tail -30 "$work/frame.log"
        failed=$((failed + 1))
    fi
fi

echo "reproducible release: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
