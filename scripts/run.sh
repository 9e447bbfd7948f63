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
