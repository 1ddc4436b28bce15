#!/usr/bin/env bash
# Makes sure this machine runs 32-bit x86 Linux programs, as 32-bit Wine is one: natively
# where the kernel can, else through QEMU's user-mode emulator, registered with the
# kernel's binfmt_misc so that every 32-bit program starts through it (some virtual
# machines' kernels run no 32-bit code at all). Under the emulator each start of a Wine
# program costs about a minute of CPU; the 32-bit tests are arranged for that.
#
# Usage: scripts/run-32-bit.sh --ensure EMULATOR_PACKAGE...   (needs wine32 installed;
#        installs the packages and registers the emulator only when needed)
#        scripts/run-32-bit.sh --emulated   (exits 0 when 32-bit programs run emulated)
set -euo pipefail
if [ "${1:-}" = "--emulated" ]; then
    grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null
    exit
fi
[ "${1:-}" = "--ensure" ] || { echo "usage: $0 --ensure PACKAGE... | --emulated" >&2; exit 2; }
shift
cd "$(dirname "$0")/.."
probe=/usr/lib/wine/wine  # Debian's 32-bit Wine loader (wine32:i386)
runs() { "$probe" --version >/dev/null 2>&1; }

[ -x "$probe" ] || { echo "$0: $probe missing (Debian package wine32:i386)" >&2; exit 1; }
runs && exit 0

echo "32-bit programs do not run natively here: registering QEMU's i386 emulator"
scripts/install-deps.sh "$@"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
if [ -e "$binfmt/qemu-i386" ]; then
    echo 1 | $sudo tee "$binfmt/qemu-i386" >/dev/null
else
    # 32-bit little-endian ELF executables and shared objects for the i386; F: the
    # emulator is opened now, so it serves every mount namespace and chroot.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" |
        $sudo tee "$binfmt/register" >/dev/null
fi
runs || { echo "$0: 32-bit programs still do not run" >&2; exit 1; }
