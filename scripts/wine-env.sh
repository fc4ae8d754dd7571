# Sourced by the test and demo scripts: a private Wine prefix per target, an Xvfb display, and
# one persistent wineserver per prefix, all stopped again by corvane_wine_stop.
CORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CORVANE_WINEPREFIX_BASE=${CORVANE_WINEPREFIX_BASE:-$CORVANE_ROOT/build/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
corvane_xvfb_pid=""
corvane_prefixes=()

# Some machines cannot execute 32-bit Linux programs at all (a kernel without 32-bit
# support): Wine's 32-bit loader then fails with "Exec format error", and so does every Wine
# tool, since Debian's wrapper prefers that loader. There the 64-bit loader is used for
# everything and only 64-bit Windows programs can run.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export CORVANE_WINE32=1
else
  export CORVANE_WINE32=0
  shim=$CORVANE_ROOT/build/wine-shim
  mkdir -p "$shim"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
    chmod +x "$shim/$name"
  done
  export PATH=$shim:$PATH
  export WINELOADER=/usr/lib/wine/wine64
fi

# True when Windows programs of this target can run here.
corvane_arch_runs() { # ARCH
  [ "$1" != i686 ] || [ "$CORVANE_WINE32" = 1 ]
}

corvane_start_display() { # [WIDTHxHEIGHT]
  local size=${1:-1280x800}
  for n in $(seq 91 130); do
    [ -e /tmp/.X$n-lock ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    corvane_xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$corvane_xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "wine-env: no free X display" >&2
  return 1
}

corvane_prepare_prefix() { # ARCH
  local prefix=$CORVANE_WINEPREFIX_BASE-$1
  export WINEPREFIX=$prefix
  if [ ! -f "$prefix/.corvane-ready" ]; then
    echo "wine-env: creating Wine prefix $prefix"
    rm -rf "$prefix"
    # A prefix counts as ready only once wineboot has succeeded: a half-made one is made anew
    # by the next run instead of failing every test in it.
    if ! wineboot -i >/dev/null 2>&1; then
      echo "wine-env: wineboot failed for $prefix" >&2
      wineserver -k >/dev/null 2>&1
      return 1
    fi
    wineserver -w
    # A crashing program must not open a dialog and hang the run.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # A virtual desktop: Wine's own desktop window with a taskbar and notification area, and
    # no window manager that programs would wait for when their windows close (bare Xvfb
    # makes every exit of a program with windows wait two seconds for one).
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x800 /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.corvane-ready"
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  corvane_prefixes+=("$prefix")
}

corvane_wine_stop() {
  for prefix in "${corvane_prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  corvane_prefixes=()
  if [ -n "$corvane_xvfb_pid" ]; then
    kill "$corvane_xvfb_pid" 2>/dev/null || true
    wait "$corvane_xvfb_pid" 2>/dev/null || true
    corvane_xvfb_pid=""
  fi
}
