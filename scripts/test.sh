#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test.
#   1. the Linux build with the Qt front end, and its tests;
#   2. the core alone, without Qt, and its tests;
#   3. everything again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   4. short fuzz runs of the frame exchange and the reply fields (clang);
#   5. the Windows edition cross-built and tested under wine;
#   6. the packages built, installed and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
stage() { echo; echo "=== $* ($(date +%T))"; }

stage "Linux build and tests"
scripts/deps.sh
scripts/build.sh build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2

# The core alone, without Qt: fptool, fpsim and their tests on a machine with
# no desktop stack. It must never find Qt, or it could start to need it.
stage "Core without Qt"
scripts/build.sh build-core -DFP_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
if ldd build-core/tools/fptool/fptool build-core/tools/simulator/fpsim | grep -i 'libQt'; then
  echo "fptool or fpsim links Qt" >&2
  exit 1
fi
# The fault soak's full length ran in the first stage; a shorter one here
# and under the sanitizers keeps the whole command within its budget.
export FP_SOAK_EXCHANGES=400
ctest --test-dir build-core --output-on-failure -j2

# Every report fails: the first one stops its process, and a report from a
# process whose exit status no test looks at is found in the log.
stage "Sanitizers"
scripts/build.sh build-asan -DFP_SANITIZE=ON
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j2
if grep -Eq 'ERROR: (Address|Leak)Sanitizer|runtime error:' build-asan/Testing/Temporary/LastTest.log; then
  echo "Sanitizer reports in build-asan/Testing/Temporary/LastTest.log" >&2
  exit 1
fi

unset FP_SOAK_EXCHANGES

stage "Fuzzing"
if command -v clang++ >/dev/null; then
  scripts/fuzz.sh "${FP_FUZZ_SECONDS:-30}"
else
  echo "clang++ not found: fuzz runs skipped"
fi

stage "Windows edition under wine"
scripts/test-windows.sh
if [ -x scripts/test-windows-gui.sh ]; then
  scripts/test-windows-gui.sh
fi

stage "Packages"
FP_BUILD_DIR=build FP_WINDOWS_BUILD=build-windows tests/packaging/test-packages.sh
stage "All tests passed"
