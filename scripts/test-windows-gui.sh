#!/usr/bin/env bash
# The Windows GUI stage of the test command: poreske-grupe.exe and its
# windows under wine on a virtual X display (Xvfb).
#
#   scripts/test-windows-gui.sh [--screenshots]
#
# 1. The in-process GUI tests (build-windows/tests/gui/win32/gui_win32_tests.exe):
#    the program's windows on the printer simulator at the far end of COM4
#    (linehost, natively beside wine, maps it to the simulator of each case;
#    the port is entered in the system's port list, so that the setup dialog
#    offers it), driven by the messages the controls take and by SendInput.
#    The lost-link cases end the program's loops for good: each runs in a
#    process of its own.
# 2. A walk from start to end against fpsim, the printer simulator, which runs
#    natively on a pseudo-terminal that wine maps as COM5: key 1, the setup
#    dialog (COM5 picked), the clock box, key 2, a rate changed, written and
#    read back, Escape, key 3 (the X report), key 0, and exit code 0. The keys
#    are real X11 key presses (xdotool) into windows found by their captions.
#    COM1, the program's start port, is the simulator too, so that nothing in
#    the walk can reach a real serial port of this machine.
#
# With --screenshots the main window and the tax group editor of the walk are
# saved as docs/main-window-windows.png and docs/editor-windows.png.
# Needs: wine, xvfb (xvfb-run), xdotool, imagemagick, fonts-wine; builds only
# its own targets in build-windows/ (scripts/build-windows.sh when the folder
# is not configured yet). Logs: build-windows/wine-gui/. Exits non-zero on
# any failure.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# A display of its own: windows need one, and the walk needs its keys.
if [ -z "${FP_GUI_DISPLAY_READY:-}" ]; then
  scripts/lib/apt-install.sh wine xvfb xauth xdotool fonts-wine \
    g++-mingw-w64-x86-64-posix googletest cmake ninja-build || exit 1
  if [ "${1:-}" = "--screenshots" ]; then scripts/lib/apt-install.sh imagemagick || exit 1; fi
  export FP_GUI_DISPLAY_READY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

screenshots=no
[ "${1:-}" = "--screenshots" ] && screenshots=yes

out="$root/build-windows"
work="$out/wine-gui"
exe="$out/app/poreske-grupe.exe"
tests_exe="$out/tests/gui/win32/gui_win32_tests.exe"
fpsim="$out/host/project/tools/simulator/fpsim"
linehost="$out/host/linehost"
main_caption='Korvena - Promena Poreskih grupa - RK730'

fail() {
  echo "windows-gui: $*"
  exit 1
}

build() {
  if [ ! -f "$out/build.ninja" ] || [ ! -f "$out/host/build.ninja" ]; then
    scripts/build-windows.sh >/dev/null || return 1
  fi
  cmake --build "$out" --target poreske-grupe gui_win32_tests >/dev/null &&
    cmake --build "$out/host" --target linehost fpsim >/dev/null
}
build || fail "build failed"

# shellcheck source=lib/wine-env.sh
source scripts/lib/wine-env.sh
wine_env_start "$work" || exit 1

sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wine_env_stop
}
trap cleanup EXIT

# Tahoma and the rest of wine's fonts, so that š, č and ž render; title bars
# drawn by wine itself, as there is no window manager.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
wine_run 60 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
  fail "could not switch off the window manager's frames"

status=0

# 1. In-process GUI tests, with linehost and the port they use.
# Published ports stay in a folder of this run.
export XDG_RUNTIME_DIR="$work/runtime"
rm -rf "$XDG_RUNTIME_DIR" && mkdir -m 700 -p "$XDG_RUNTIME_DIR"
wine_linehost_start "$linehost" "$work/linehost.log" || fail "linehost did not start"
export FP_GUI_TEST_PORT=COM4
wine_register_port "$FP_GUI_TEST_PORT" /dev/ptmx || fail "could not register $FP_GUI_TEST_PORT"
wine_run 60 reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | grep -q "$FP_GUI_TEST_PORT" ||
  fail "$FP_GUI_TEST_PORT is not in the port list"

tests_log="$work/gui_win32_tests.log"
lost_link=LostLinkTest
wine_run 120 "$tests_exe" --gtest_brief=1 --gtest_filter="-$lost_link.*" >"$tests_log" 2>&1
tests_status=$?
cases="$(wine_run 60 "$tests_exe" --gtest_list_tests --gtest_filter="$lost_link.*" 2>/dev/null |
  tr -d '\r' | awk '/^ /{print $1}')"
[ -n "$cases" ] || { echo "windows-gui: no $lost_link cases listed"; tests_status=1; }
for case in $cases; do
  case_log="$work/$lost_link.$case.log"
  wine_run 60 "$tests_exe" --gtest_filter="$lost_link.$case" >"$case_log" 2>&1 || tests_status=1
  # Alone in its process, a case has no reason to be skipped.
  grep -q '^\[  PASSED  \] 1 test\.' "$case_log" ||
    { echo "windows-gui: $lost_link.$case did not pass (see $case_log)"; tests_status=1; }
  cat "$case_log" >>"$tests_log"
done
grep -E '^\[ *(FAILED|PASSED|SKIPPED) *\]|Failure|^/' "$tests_log" | head -40
if [ "$tests_status" -eq 0 ]; then
  echo "windows-gui: gui_win32_tests passed"
else
  echo "windows-gui: gui_win32_tests FAILED (status $tests_status)"
  status=1
fi

# 2. The walk against fpsim.
sim_log="$work/fpsim.log"
# Its standard input (it takes commands there) stays open until this script ends.
rm -f "$work/fpsim.in"
mkfifo "$work/fpsim.in"
"$fpsim" --name ttyFPgui --clock "24.12.2023 18:05:09" <"$work/fpsim.in" >"$sim_log" 2>&1 &
sim_pid=$!
exec 3>"$work/fpsim.in"
for _ in $(seq 50); do grep -q 'printer on ' "$sim_log" && break; sleep 0.1; done
pty="$(sed -n 's/.*printer on \(\/dev\/pts\/[0-9]*\).*/\1/p' "$sim_log" | head -1)"
[ -n "$pty" ] || fail "fpsim did not start (see $sim_log)"

wine_run 60 reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$pty" /f >/dev/null 2>&1
wine_register_port COM5 "$pty" || fail "could not register COM5"
wine_map_port COM1 "$pty"
# End picks COM5 in the port list: make sure it is the last name listed.
last_port="$(wine_run 60 reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null |
  awk '/REG_SZ/{print $3}' | tr -d '\r' | sort -f | tail -1)"
[ "$last_port" = COM5 ] || fail "COM5 is not the last port listed (last: '$last_port')"

# Waits for a visible window titled exactly $1 and prints its X id.
window() {
  timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1
}
# Focuses the window titled $1 and presses the keys that follow.
keys() {
  local id
  id="$(window "$1")"
  [ -n "$id" ] || { echo "windows-gui: no window '$1'"; return 1; }
  xdotool windowfocus --sync "$id" 2>/dev/null
  shift
  xdotool key --delay 80 "$@"
  sleep 0.7
}
shot() {  # window title, file
  local id
  id="$(window "$1")"
  [ -n "$id" ] && import -window "$id" "$2"
}

walk() {
  window "$main_caption" >/dev/null || return 1
  sleep 0.5
  shot "$main_caption" "$work/main-window-windows.png"
  keys "$main_caption" 1 || return 1
  keys Setup End Return || return 1
  window Information >/dev/null || { echo "windows-gui: no clock box"; return 1; }
  keys Information Return || return 1
  keys "$main_caption" 2 || return 1
  # Focus on Pročitaj; Tab, Tab: the rate of group A (the mask boxes take no
  # focus). Shift+Tab back to "Upiši u FP".
  keys Porezi Tab Tab || return 1
  xdotool type --delay 80 "7.50"
  keys Porezi shift+Tab space || return 1
  keys Porezi shift+Tab Return || return 1
  shot Porezi "$work/editor-windows.png"
  keys Porezi Escape || return 1
  keys "$main_caption" 3 || return 1
  keys "$main_caption" 0 || return 1
}

exe_status_file="$work/exe.status"
rm -f "$exe_status_file"
(wine_run 120 "$exe" >"$work/poreske-grupe.log" 2>&1; echo $? >"$exe_status_file") &
walk_status=0
walk || walk_status=1
for _ in $(seq 100); do [ -f "$exe_status_file" ] && break; sleep 0.2; done
exe_status="$(cat "$exe_status_file" 2>/dev/null || echo none)"

check() {  # description, pattern in the simulator's log
  grep -q "$2" "$sim_log" || { echo "windows-gui: walk: $1 not seen by the printer"; walk_status=1; }
}
check "the clock read" 'cmd 62 (clock)'
check "the rate written" 'rates now 7.50 10.00'
check "the X report" 'X report printed (1 so far)'
reads="$(grep -c 'PC>FP.*cmd 97' "$sim_log")"
[ "$reads" -ge 2 ] || { echo "windows-gui: walk: the rates were read $reads time(s), not read back"; walk_status=1; }
[ "$exe_status" = 0 ] || { echo "windows-gui: walk: exit code $exe_status, not 0"; walk_status=1; }
if [ "$walk_status" -eq 0 ]; then
  echo "windows-gui: walk passed"
else
  echo "windows-gui: walk FAILED (logs in $work)"
  status=1
fi

if [ "$screenshots" = yes ] && [ "$walk_status" -eq 0 ]; then
  cp "$work/main-window-windows.png" "$work/editor-windows.png" "$root/docs/"
  echo "windows-gui: screenshots in docs/"
fi
exit "$status"
