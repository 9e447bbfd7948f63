#!/usr/bin/env bash
# Installs what is missing, builds, starts the bundled printer simulator and
# then the program; the simulator stops when the program ends.
#
# The simulator publishes its port as "ttyFP0" in the virtual-port directory:
# choose that port in the setup dialog of menu item 1. With --no-simulator
# only the program starts, for a real printer.
set -euo pipefail
cd "$(dirname "$0")/.."

simulator=yes
if [ "${1:-}" = "--no-simulator" ]; then
  simulator=no
  shift
fi

# Without a display Qt aborts with a message about platform plugins that
# tells a newcomer nothing; say what is missing before anything is built.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'EOF_MESSAGE'
There is no display to show the program's window on: neither DISPLAY nor
WAYLAND_DISPLAY is set (a text console, or ssh without -X).

Start it from a desktop session, over "ssh -X", or on a virtual display:

  sudo apt-get install xvfb
  xvfb-run -a scripts/run.sh

(xvfb-run shows the window to nobody; that is enough to try the program with
a screenshot tool or a test, not to use it.)
EOF_MESSAGE
  exit 1
fi

scripts/deps.sh
scripts/build.sh build

if [ "$simulator" = yes ]; then
  port=ttyFP0
  log="$(mktemp -t fpsim-XXXXXX.log)"
  build/tools/simulator/fpsim --name "$port" </dev/null >"$log" 2>&1 &
  simulator_pid=$!
  stop_simulator() {
    kill "$simulator_pid" 2>/dev/null || true
    wait "$simulator_pid" 2>/dev/null || true
  }
  trap stop_simulator EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  # The port is usable once the simulator says where it published it.
  for _ in $(seq 100); do
    grep -q "published as" "$log" && break
    if ! kill -0 "$simulator_pid" 2>/dev/null; then
      cat "$log" >&2
      echo "The printer simulator did not start." >&2
      exit 1
    fi
    sleep 0.05
  done
  echo "Printer simulator running. In menu item 1 choose the port \"$port\"."
  echo "Its log, every frame both ways: $log"
fi

build/app/poreske-grupe "$@"
