#!/usr/bin/env bash
# Fails on any C or C++ source of the tree that differs from .clang-format: clang-format 14,
# the version the style file is written for, in a dry run that changes nothing.
# Usage: scripts/check-format.sh        (scripts/check-format.sh --fix rewrites the files)
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' sources < <(git ls-files -z '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format-14 -i "${sources[@]}"
else
    clang-format-14 --dry-run --Werror "${sources[@]}"
fi
