#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2

# The core alone, without Qt: fptool, fpsim and their tests on a machine with
# no desktop stack. It must never find Qt, or it could start to need it.
scripts/build.sh build-core -DFP_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
if ldd build-core/tools/fptool/fptool build-core/tools/simulator/fpsim | grep -i 'libQt'; then
  echo "fptool or fpsim links Qt" >&2
  exit 1
fi
ctest --test-dir build-core --output-on-failure -j2

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
# Every report fails: the first one stops its process, and a report from a
# process whose exit status no test looks at is found in the log.
scripts/build.sh build-asan -DFP_SANITIZE=ON
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j2
if grep -Eq 'ERROR: (Address|Leak)Sanitizer|runtime error:' build-asan/Testing/Temporary/LastTest.log; then
  echo "Sanitizer reports in build-asan/Testing/Temporary/LastTest.log" >&2
  exit 1
fi

# Short fuzz runs of the frame exchange and of the reply fields, with clang.
if command -v clang++ >/dev/null; then
  scripts/fuzz.sh "${FP_FUZZ_SECONDS:-60}"
else
  echo "clang++ not found: fuzz runs skipped"
fi
