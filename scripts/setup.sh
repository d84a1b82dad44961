#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, as root.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git bc time xxd clang clang-19 acl
  libgtest-dev libgmock-dev googletest
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 xvfb xdotool imagemagick x11-utils
  fonts-ipafont-gothic locales fp-utils
  # The object writers' tests: the platforms' linkers, emulators and readers.
  gcc-multilib qemu-user-static llvm-19 lld-19 python3-pefile wine64 gcc-mingw-w64-x86-64
  libc6-dev-arm64-cross libgcc-12-dev-arm64-cross binutils-aarch64-linux-gnu
  libc6-dev-armhf-cross libgcc-12-dev-armhf-cross binutils-arm-linux-gnueabihf
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A kernel without IA-32 emulation runs no 32-bit Wine: the Windows tests
# then run the 64-bit build under 64-bit Wine (scripts/wine-env.sh).
if ! /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
  missing=()
  for package in wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: this machine runs no 32-bit programs; installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
fi

# Wine shows code page 932 texts only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
