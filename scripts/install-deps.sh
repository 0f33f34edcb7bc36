#!/usr/bin/env bash
# Installs every package the builds, tests and benchmarks need. Idempotent: a
# machine that has everything spends a fraction of a second here.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64
  xvfb x11-utils xdotool xclip imagemagick
  fonts-ipafont-gothic fonts-wine locales
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libgif-dev libstb-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Wine's 32-bit half runs the shipped 32-bit build, where this machine executes
# 32-bit code at all (scripts/win32-support.sh finds out by trying).
need_i386=
if bash "$(dirname "$0")/win32-support.sh" >/dev/null; then
  dpkg --print-foreign-architectures | grep -qx i386 || need_i386=yes
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' || missing+=(wine32:i386)
fi

if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" = 0 ] && SUDO= || SUDO=sudo
  echo "installing: ${missing[*]}"
  [ -n "$need_i386" ] && $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine reads its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  [ "$(id -u)" = 0 ] && SUDO= || SUDO=sudo
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
