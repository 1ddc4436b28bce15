#!/usr/bin/env bash
# Copies the files git knows (tracked, or new and not ignored) that the work tree has, as
# they are there, into DEST: a build from the copy sees exactly the tree, nothing built.
# Usage: scripts/copy-tree.sh DEST
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -cf - -T -) | tar -xf - -C "$1"
