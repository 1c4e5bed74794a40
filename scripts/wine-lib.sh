# Wine harness: an isolated 32-bit prefix under the build folder, a pristine
# copy per scenario, Xvfb on a display of its own, a timeout on every Wine
# process, and clean-up of only what it started. Source it from bash.

MW_ROOT=${MW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
MW_WINE_ROOT=${MW_WINE_ROOT:-$MW_ROOT/build/wine}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINELOADERNOEXEC

_mw_xvfb_pid=""
_mw_prefix_tmp=""

# Starts Xvfb on a free display number; exports DISPLAY.
mw_xvfb_start() {
  local screen=${1:-640x480x24} n
  for n in $(seq 101 199); do
    [ -e /tmp/.X$n-lock ] && continue
    [ -e /tmp/.X11-unix/X$n ] && continue
    Xvfb :$n -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    _mw_xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      if [ -e /tmp/.X11-unix/X$n ]; then
        export DISPLAY=:$n
        return 0
      fi
      kill -0 "$_mw_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$_mw_xvfb_pid" 2>/dev/null; wait "$_mw_xvfb_pid" 2>/dev/null
    _mw_xvfb_pid=""
  done
  echo "wine harness: no free X display" >&2
  return 1
}

mw_xvfb_stop() {
  if [ -n "$_mw_xvfb_pid" ]; then
    kill "$_mw_xvfb_pid" 2>/dev/null
    wait "$_mw_xvfb_pid" 2>/dev/null
    _mw_xvfb_pid=""
  fi
}

# The pristine prefix for a Windows version (winxp or win98), made once and
# shared read-only by every scenario.
mw_pristine() {
  local ver=${1:-winxp}
  local dir=$MW_WINE_ROOT/pristine-$ver
  mkdir -p "$MW_WINE_ROOT"
  (
    flock 9
    if [ ! -f "$dir/.ready" ]; then
      rm -rf "$dir"
      local saved_display=${DISPLAY-}
      (
        export WINEPREFIX=$dir
        export DISPLAY=
        timeout -k 5 180 wineboot -i >/dev/null 2>&1
        timeout -k 5 60 wine reg add 'HKCU\Software\Wine' /v Version /d "$ver" /f >/dev/null 2>&1
        timeout -k 5 60 wineserver -w
      )
      touch "$dir/.ready"
    fi
  ) 9>"$MW_WINE_ROOT/.pristine-$ver.lock"
  echo "$dir"
}

# A fresh copy of the pristine prefix; exports WINEPREFIX.
mw_fresh_prefix() {
  local ver=${1:-winxp}
  local pristine
  pristine=$(mw_pristine "$ver") || return 1
  mkdir -p "$MW_WINE_ROOT/runs"
  _mw_prefix_tmp=$(mktemp -d "$MW_WINE_ROOT/runs/$ver.XXXXXX")
  cp -a "$pristine/." "$_mw_prefix_tmp/"
  rm -f "$_mw_prefix_tmp/.ready"
  # Xvfb has no window manager: with Wine's windows "managed", every window
  # that is hidden or destroyed waits 2 s for a window manager that never
  # answers. MW_WINE_MANAGED=1 keeps Wine's default.
  if [ -z "${MW_WINE_MANAGED-}" ] && ! grep -q '^\[Software\\\\Wine\\\\X11 Driver\]' "$_mw_prefix_tmp/user.reg"; then
    printf '\n[Software\\\\Wine\\\\X11 Driver] 1700000000\n"Managed"="N"\n' >>"$_mw_prefix_tmp/user.reg"
  fi
  export WINEPREFIX=$_mw_prefix_tmp
}

# The C: drive of the current prefix as a Unix path.
mw_drive_c() { echo "$WINEPREFIX/drive_c"; }

# Runs a Wine command under a timeout: mw_wine SECONDS program args...
mw_wine() {
  local t=$1; shift
  timeout -k 5 "$t" wine "$@"
}

# Stops the prefix's wineserver (only ours: WINEPREFIX is set to our copy).
mw_wineserver_stop() {
  if [ -n "${WINEPREFIX-}" ] && [ "$WINEPREFIX" != "$HOME/.wine" ]; then
    wineserver -k 2>/dev/null
    timeout 20 wineserver -w 2>/dev/null
  fi
}

mw_cleanup() {
  mw_wineserver_stop
  mw_xvfb_stop
  if [ -n "$_mw_prefix_tmp" ] && [ -z "${MW_KEEP-}" ]; then
    rm -rf "$_mw_prefix_tmp"
  fi
  _mw_prefix_tmp=""
}
