#!/usr/bin/env bash
# The Windows stage of the test command: installs what is missing (mingw-w64,
# wine, googletest), cross-builds (scripts/build-windows.sh), makes a fresh
# wine prefix in build-windows/wine, runs the Windows tests under wine with
# linehost (the far ends of their COM ports) natively beside them, compares
# fptool.exe with the Linux fptool on fpsim, and stops the wine server.
# Exits non-zero on any failure. Logs: build-windows/wine/*.log.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
out="$root/build-windows"
work="$out/wine"

packages=(g++-mingw-w64-x86-64-posix wine googletest cmake ninja-build g++ coreutils)
scripts/lib/apt-install.sh "${packages[@]}" || exit 1

scripts/build-windows.sh || { echo "windows: build failed"; exit 1; }

# shellcheck source=lib/wine-env.sh
source scripts/lib/wine-env.sh
wine_env_start "$work" || exit 1

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wine_env_stop
}
trap cleanup EXIT

# Published ports and the fpsim link stay in a folder of this run.
export XDG_RUNTIME_DIR="$work/runtime"
rm -rf "$XDG_RUNTIME_DIR" && mkdir -m 700 -p "$XDG_RUNTIME_DIR"

wine_linehost_start "$out/host/linehost" "$work/linehost.log" || exit 1

# SERIALCOMM lists what HKLM\Software\Wine\Ports holds when the server starts.
export FP_WINE_REGISTERED_PORTS="COM5,COM10,COM2"
for com in COM5 COM10 COM2; do wine_register_port "$com" /dev/ptmx || exit 1; done

passed=0
failed=0
verdict() {  # NAME STATUS
  if [ "$2" -eq 0 ]; then
    passed=$((passed + 1))
    echo "windows: $1 passed"
  else
    failed=$((failed + 1))
    echo "windows: $1 FAILED (status $2)"
  fi
}

for program in framework messages serial fiscal; do
  exe="$out/tests/win32/${program}_wine_tests.exe"
  log="$work/${program}_wine_tests.log"
  # The server's dumps of closed pseudo-terminals may reach standard error.
  wine_run 300 "$exe" --gtest_brief=1 >"$log" 2>"$work/${program}_wine_tests.stderr.log"
  status=$?
  grep -v '^\[ *\(RUN\|OK\) ' "$log" | grep -E '^\[ *(FAILED|PASSED|SKIPPED) *\]|Failure|^/' | head -40
  verdict "${program}_wine_tests" "$status"
done

# fptool.exe --port COMn exec 62 prints the Linux fptool's result block.
"$out/host/project/tools/simulator/fpsim" --name ttyFPwine --clock "24.12.2023 18:05:09" \
  </dev/null >"$work/fpsim.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q 'printer on ' "$work/fpsim.log" && break; sleep 0.1; done
pty="$(sed -n 's/.*printer on \(\/dev\/pts\/[0-9]*\).*/\1/p' "$work/fpsim.log" | head -1)"
if [ -z "$pty" ]; then
  verdict fptool_exe_exec_62 1
else
  wine_map_port COM20 "$pty"
  wine_run 60 "$out/tools/fptool/fptool.exe" --port COM20 exec 62 >"$work/fptool-exe.out" \
    2>"$work/fptool-exe.err"
  exe_status=$?
  "$out/host/project/tools/fptool/fptool" --port ttyFPwine exec 62 >"$work/fptool-linux.out" \
    2>"$work/fptool-linux.err"
  linux_status=$?
  status=0
  if [ "$exe_status" -ne "$linux_status" ] || ! cmp -s "$work/fptool-exe.out" "$work/fptool-linux.out" \
    || ! grep -q '^ReplyData: 24-12-23 18:05:09$' "$work/fptool-exe.out"; then
    status=1
    echo "fptool.exe (status $exe_status):"; cat "$work/fptool-exe.out" "$work/fptool-exe.err"
    echo "fptool (status $linux_status):"; cat "$work/fptool-linux.out" "$work/fptool-linux.err"
  fi
  verdict fptool_exe_exec_62 "$status"
  # A port that does not exist: exit status 3, the system's error number.
  wine_run 60 "$out/tools/fptool/fptool.exe" --port COM77 exec 62 >/dev/null \
    2>"$work/fptool-missing.err"
  missing_status=$?
  grep -q 'Unable to open com port (Error: 2)' "$work/fptool-missing.err" && [ "$missing_status" -eq 3 ]
  verdict fptool_exe_missing_port $?

  # The technician's commands do on Windows what they do on Linux.
  fptool_exe() { wine_run 60 "$out/tools/fptool/fptool.exe" "$@"; }
  fptool_exe --port COM20 write-taxes --dry-run 7.5 10 0 0 0 0 0 0 >"$work/dry-run.out" 2>&1
  dry_status=$?
  [ "$dry_status" -eq 0 ] && grep -q '^Command 96 would carry: 7.5,10,0,0,0,0,0,0' "$work/dry-run.out" \
    && ! grep -q 'cmd 96' "$work/fpsim.log"
  verdict fptool_exe_dry_run_sends_no_96 $?

  rm -f "$work/changes.tsv"
  fptool_exe --port COM20 write-taxes --log 'Z:'"$work/changes.tsv" 7.50 10.00 0 0 0 0 0 0 \
    >"$work/write-taxes.out" 2>&1
  write_status=$?
  fptool_exe --port COM20 write-taxes --log 'Z:'"$work/changes.tsv" 7.50 10.00 0 0 0 0 0 0 \
    >>"$work/write-taxes.out" 2>&1
  again_status=$?
  [ "$write_status" -eq 0 ] && [ "$again_status" -eq 0 ] && grep -q 'cmd 96' "$work/fpsim.log" \
    && [ "$(wc -l <"$work/changes.tsv")" -eq 3 ]
  verdict fptool_exe_checked_change_and_log $?

  fptool_exe --port COM20 --trace - exec 62 >/dev/null 2>"$work/trace.err"
  grep -q 'PC>FP = request SEQ [0-9]* CMD 62 data "", BCC valid' "$work/trace.err" \
    && grep -q 'FP>PC = reply SEQ [0-9]* CMD 62 data "24-12-23 18:05:09".*BCC valid' "$work/trace.err"
  verdict fptool_exe_trace $?

  fptool_exe find --ports COM20,COM77 --bauds 19200 >"$work/find.out" 2>"$work/find.err"
  find_status=$?
  [ "$find_status" -eq 0 ] && grep -q '^COM20 19200 24.12.2023 18:05:09' "$work/find.out" \
    && grep -q 'COM77' "$work/find.err"
  verdict fptool_exe_find $?

  fptool_exe ports >"$work/ports.out" 2>&1 && grep -q '^COM5' "$work/ports.out"
  verdict fptool_exe_ports $?
fi

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
