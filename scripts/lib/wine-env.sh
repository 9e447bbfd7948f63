# Shared wine set-up for the Windows stage: source it, then call the functions.
#   source scripts/lib/wine-env.sh
#   wine_env_start build-windows/wine   # fresh prefix, server up, wineboot done
#   wine_run 60 build-windows/tools/fptool/fptool.exe --help
#   wine_map_port COM5 /dev/pts/7       # COM5 opens that pseudo-terminal
#   wine_register_port COM5 /dev/pts/7  # ... and SERIALCOMM lists it
#   wine_env_stop                       # ends the wine server and its processes
#
# Functions (a stable interface; other test stages source this file):
#   wine_env_start DIR      Makes a fresh prefix DIR/prefix (any old one is removed)
#                           and exports WINEPREFIX, WINEDEBUG=-all,
#                           WINEDLLOVERRIDES="mscoree,mshtml=" (no Mono or Gecko
#                           installer). Starts a persistent wine server first, its
#                           standard error in $WINE_ENV_SERVER_LOG (default /dev/null):
#                           the server takes a pseudo-terminal it opens as its
#                           controlling terminal and dumps hundreds of megabytes of
#                           object lists when the far end closes. Then runs
#                           wineboot (some 5-20 s on a fresh prefix). Returns non-zero
#                           when wine is missing or wineboot fails.
#   wine_run SECONDS PROGRAM [ARGS...]
#                           Runs a Windows program under wine, ended (and killed 5 s
#                           later) after SECONDS; the exit status is the program's, 124
#                           for a time-out.
#   wine_map_port COMn DEVICE
#                           Points COMn at a Linux device (a pseudo-terminal) by the
#                           symlink $WINEPREFIX/dosdevices/comn; wine reads it at each
#                           open, so it may change between opens.
#   wine_register_port COMn DEVICE
#                           Also enters COMn=DEVICE in HKLM\Software\Wine\Ports and
#                           restarts the wine server: only then does
#                           HKLM\HARDWARE\DEVICEMAP\SERIALCOMM list the port.
#   wine_linehost_start PROGRAM LOG
#                           Starts linehost (PROGRAM, built from tests/win32/host:
#                           the far ends of the COM ports that the test programs
#                           open) for this prefix, its output in LOG, and exports
#                           FP_LINEHOST_PORT once it listens. Returns non-zero when
#                           it does not start. wine_env_stop ends it.
#   wine_env_stop           Ends linehost, the wine server and every wine process of
#                           the prefix.
#
# Needs the Debian package "wine" (its "wine" command runs 64-bit programs).

wine_env_start() {
  local dir="$1"
  command -v wine >/dev/null || { echo "wine-env: wine is not installed" >&2; return 1; }
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"
  export WINE_ENV_DIR="$dir"
  export WINEPREFIX="$dir/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  _wine_env_server
  timeout --kill-after=5 180 wineboot -i >"$dir/wineboot.log" 2>&1 || {
    echo "wine-env: wineboot failed (see $dir/wineboot.log)" >&2
    return 1
  }
}

# The persistent server, started before any wine program (see above).
_wine_env_server() {
  wineserver -p 2>>"${WINE_ENV_SERVER_LOG:-/dev/null}" >/dev/null
}

wine_run() {
  local seconds="$1"
  shift
  timeout --kill-after=5 "$seconds" wine "$@"
}

wine_map_port() {
  local name
  name="$(echo "$1" | tr '[:upper:]' '[:lower:]')"
  mkdir -p "$WINEPREFIX/dosdevices"
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$name"
}

wine_register_port() {
  wine_map_port "$1" "$2"
  timeout --kill-after=5 60 wine reg add 'HKLM\Software\Wine\Ports' /v "$1" /d "$2" /f \
    >/dev/null 2>&1 || return 1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  _wine_env_server
}

wine_linehost_start() {
  "$1" >"$2" 2>&1 &
  WINE_ENV_LINEHOST_PID=$!
  local _
  for _ in $(seq 50); do grep -q '^port ' "$2" && break; sleep 0.1; done
  FP_LINEHOST_PORT="$(awk '/^port /{print $2; exit}' "$2")"
  [ -n "$FP_LINEHOST_PORT" ] || { echo "wine-env: linehost did not start (see $2)" >&2; return 1; }
  export FP_LINEHOST_PORT
}

wine_env_stop() {
  if [ -n "${WINE_ENV_LINEHOST_PID:-}" ]; then
    kill "$WINE_ENV_LINEHOST_PID" 2>/dev/null
    wait "$WINE_ENV_LINEHOST_PID" 2>/dev/null
    WINE_ENV_LINEHOST_PID=""
  fi
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
