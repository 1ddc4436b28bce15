#!/usr/bin/env bash
# Copies the source tree, as it is in the work tree, into DEST: a build from the copy sees
# exactly the sources, nothing built. In a git checkout that is the files git knows
# (tracked, or new and not ignored); in a tree without git (a copy made so) every file
# but those .gitignore names.
# Usage: scripts/copy-tree.sh DEST
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd -P)
mkdir -p "$1"
# A copy may lie inside another checkout (its build folder): only a tree that is a
# checkout's top is one.
if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    (cd "$root" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -cf - -T -) | tar -xf - -C "$1"
else
    # .gitignore's "/name/" is the top folder "./name"; a bare name matches at any depth.
    excludes=()
    while IFS= read -r pattern; do
        case $pattern in '' | '#'*) continue ;; esac
        pattern=${pattern%/}
        case $pattern in /*) pattern=.$pattern ;; esac
        excludes+=("--exclude=$pattern")
    done <"$root/.gitignore"
    (cd "$root" && tar "${excludes[@]}" -cf - .) | tar -xf - -C "$1"
fi
