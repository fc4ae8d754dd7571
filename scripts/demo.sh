#!/usr/bin/env bash
# Builds the 32-bit host and runs it under Wine on the stand-in shell desktop. With a DISPLAY
# it runs there until you close it; without one it runs on a virtual display for a few
# seconds and writes a screenshot (default: build/demo.png, or the path given).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"
trap corvane_wine_stop EXIT
# The shipped 32-bit build where this machine can run it, else the 64-bit one.
arch=i686
corvane_arch_runs i686 || arch=x86_64
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch"
shot=$(realpath -m "${1:-$root/build/demo.png}")
virtual=0
if [ -z "${DISPLAY:-}" ]; then
  corvane_start_display 1280x800
  virtual=1
fi
corvane_prepare_prefix "$arch"
bin="$root/build/$arch/bin"
wine regsvr32 /s "$(winepath -w "$bin/Veskar.dll")" >/dev/null 2>&1
cd "$bin"
# Host and stand-in desktop share one process here: Wine does not show what a child window
# draws when its top-level window belongs to another process (see tests/demo/DemoMain.cpp).
if [ "$virtual" = 1 ]; then
  wine corvane_demo.exe >/dev/null 2>&1 &
  sleep "${CORVANE_DEMO_SECONDS:-6}"
  import -display "$DISPLAY" -window root "$shot"
  echo "demo: screenshot written to $shot"
else
  echo "demo: close the host with its tray menu or by ending this script (Ctrl+C)"
  wine corvane_demo.exe
fi
