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

copy_tree() { "$root/scripts/copy-tree.sh" "$1"; }

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
. "$root/scripts/checks.sh"
set +e  # every check runs; checks_done gives the verdict
for f in $(cd "$work/first/dist" && ls); do
    check "$f is the same in both releases" cmp "$work/first/dist/$f" "$work/second/dist/$f"
done
check "both releases hold the same files" \
    diff <(cd "$work/first/dist" && ls) <(cd "$work/second/dist" && ls)

# What ships passes the ABI tests of the Linux build, when that build is there.
abi=$root/build/default/tests/abi/abi_tests
if [ -x "$abi" ]; then
    unpacked=$work/unpacked
    mkdir -p "$unpacked"
    tar -xzf "$work"/first/dist/wacky_throats-*-linux-x86_64.tar.gz -C "$unpacked"
    check "the released Linux library passes the ABI tests" \
        env WT_PLUGIN_PATH="$(ls "$unpacked"/*/wacky_throats.so)" "$abi" --gtest_brief=1
fi

checks_done "reproducible release"
