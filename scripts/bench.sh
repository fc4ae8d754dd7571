#!/usr/bin/env bash
# Builds and runs the benchmarks: the engine core natively, and the host's frame cost under
# Wine (32-bit) on a virtual display. They print figures; nothing is asserted.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake --preset native >/dev/null && cmake --build --preset native
echo "=== engine core (native) ==="
./build/native/bench/rain_bench --benchmark_color=false
source "$root/scripts/wine-env.sh"
trap corvane_wine_stop EXIT
arch=i686
corvane_arch_runs i686 || arch=x86_64
cmake --preset "$arch" >/dev/null && cmake --build --preset "$arch"
corvane_start_display 1920x1080
corvane_prepare_prefix "$arch"
wine regsvr32 /s "$(winepath -w "$root/build/$arch/bin/Veskar.dll")" >/dev/null 2>&1
for name in frame_cost_bench hook_cost_bench; do
  [ -f "build/$arch/bin/$name.exe" ] || continue
  echo "=== $name (Wine, $arch) ==="
  ./scripts/wine-run "$arch" "build/$arch/bin/$name.exe"
done
