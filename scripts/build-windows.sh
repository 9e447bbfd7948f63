#!/usr/bin/env bash
# Cross-builds the Windows edition with mingw-w64 into build-windows/: the
# core, fptool.exe (build-windows/tools/fptool/fptool.exe) and the Windows
# test programs, plus the small Linux helper that the tests under wine talk
# to (build-windows/host/).
#   scripts/build-windows.sh [--no-tests] [extra cmake -D options...]
# Needs: g++-mingw-w64-x86-64-posix, cmake, ninja-build, googletest (sources
# in /usr/src/googletest); scripts/test-windows.sh installs what is missing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-windows"
tests=ON
if [ "${1:-}" = "--no-tests" ]; then
  tests=OFF
  shift
fi
jobs="${FP_JOBS:-$(nproc)}"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

cmake -S "$root" -B "$out" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DFP_GUI=OFF -DFP_BUILD_TESTS="$tests" "$@" >/dev/null
cmake --build "$out" -j "$jobs"

if [ "$tests" = ON ]; then
  # The far end of the lines the tests use under wine runs natively.
  cmake -S "$root/tests/win32/host" -B "$out/host" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out/host" -j "$jobs"
fi
echo "fptool.exe: $out/tools/fptool/fptool.exe"
