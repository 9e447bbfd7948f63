#!/usr/bin/env bash
# scripts/run.sh on a machine without a display: it says so and how to use
# xvfb-run, fails, and neither installs nor builds anything first.
#   run-without-display.sh SOURCE_DIR
set -u
output="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1/scripts/run.sh" </dev/null 2>&1)"
status=$?
fail() {
  echo "$1" >&2
  echo "--- output:" >&2
  echo "$output" >&2
  exit 1
}
[ "$status" -ne 0 ] || fail "run.sh succeeded without a display"
grep -q "no display" <<<"$output" || fail "run.sh did not say that there is no display"
grep -q "xvfb-run -a scripts/run.sh" <<<"$output" || fail "run.sh did not say how to use xvfb-run"
if grep -q -i -e "ninja" -e "apt-get install -y" -e "Building" <<<"$output"; then
  fail "run.sh installed or built before it looked for a display"
fi
exit 0
