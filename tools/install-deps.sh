#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev python3
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine xvfb xauth x11-utils xdotool imagemagick locales
)

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
updated=0
apt_update() {
  if [ "$updated" -eq 0 ]; then
    "${as_root[@]}" apt-get update -q
    updated=1
  fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
  updated=0
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  apt_update
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine's 32-bit side is an i386 Linux program. Where the kernel cannot run
# those (some virtual machines), it runs under qemu's user-mode emulator; the
# one from bookworm-backports is needed, the older one takes a minute per
# process start.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if ! dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | grep -q '^1:\(9\|1[0-9]\)'; then
    echo 'deb http://deb.debian.org/debian bookworm-backports main' |
      "${as_root[@]}" tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null
    updated=0
    apt_update
    "${as_root[@]}" apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user-static
  fi
fi

# Wine shows Windows-1251 texts only with a Russian ANSI code page.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  "${as_root[@]}" sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  "${as_root[@]}" locale-gen ru_RU.UTF-8 >/dev/null
fi

"$(dirname "$0")/enable-i386.sh"
