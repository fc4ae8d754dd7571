#!/usr/bin/env bash
# Installs, from Debian's packages only, everything the build, the tests and the demo need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail
packages=(
  cmake ninja-build git
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32 wine64 fonts-wine
  xvfb x11-apps imagemagick xdotool icoutils
  googletest libgtest-dev libbenchmark-dev clang-format
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  need_update=1
fi
missing=()
for p in "${packages[@]}"; do
  name=$p; [ "$p" = wine32 ] && name=wine32:i386
  dpkg -s "$name" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
elif [ -n "${need_update:-}" ]; then
  $sudo apt-get update -qq
fi
