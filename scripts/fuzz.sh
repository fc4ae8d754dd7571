#!/usr/bin/env bash
# Fuzzes the configuration parser natively with libFuzzer: scripts/fuzz.sh [SECONDS]. New
# inputs go to config/fuzz/corpus; crash reproducers to config/fuzz/crashes, where the
# regression test replays them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
command -v clang++ >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang >/dev/null
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DCORVANE_FUZZ=ON >/dev/null
cmake --build build/fuzz --target config_fuzz
./build/fuzz/config/config_fuzz -max_total_time="${1:-600}" -max_len=70000 \
  -artifact_prefix=config/fuzz/crashes/ config/fuzz/corpus
