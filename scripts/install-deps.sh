#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Usage: scripts/install-deps.sh PACKAGE...   (runs apt-get as root, or through sudo)
# A package of another architecture (NAME:i386) gets its architecture added first.
set -euo pipefail
missing=()
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
for p in "${missing[@]}"; do
    case $p in
        *:*)
            arch=${p##*:}
            if [ "$arch" != "$(dpkg --print-architecture)" ] &&
                ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
                echo "adding the $arch architecture"
                $sudo dpkg --add-architecture "$arch"
            fi
            ;;
    esac
done
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
