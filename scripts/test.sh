#!/usr/bin/env bash
# Installs what is needed, builds both Windows targets and runs every test under Wine on a
# virtual display, then the native engine-core tests. Leaves no Xvfb or wineserver behind.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1
source "$root/scripts/wine-env.sh"
trap corvane_wine_stop EXIT

status=0
clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h') || { echo "format check failed"; status=1; }

for arch in i686 x86_64; do
  cmake --preset "$arch" >/dev/null && cmake --build --preset "$arch" || exit 1
done
cmake --preset native >/dev/null && cmake --build --preset native || exit 1

corvane_start_display 1280x800 || exit 1
for arch in i686 x86_64; do
  if ! corvane_arch_runs "$arch"; then
    echo "=== tests: $arch NOT RUN: this machine cannot execute 32-bit programs (built only) ==="
    continue
  fi
  corvane_prepare_prefix "$arch" || { status=1; continue; }
  echo "=== tests: $arch ==="
  if ! wine regsvr32 /s "$(winepath -w "$root/build/$arch/bin/Veskar.dll")" >/dev/null 2>&1; then
    echo "test: regsvr32 Veskar.dll failed for $arch"
    status=1
    continue
  fi
  ctest --test-dir "build/$arch" --output-on-failure || status=1
done
echo "=== tests: native ==="
ctest --test-dir build/native --output-on-failure || status=1
exit $status
