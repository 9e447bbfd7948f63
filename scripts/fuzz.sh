#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (into build-fuzz/, or the folder in
# $FP_FUZZ_BUILD_DIR) and runs each for a while against the seed corpus in
# fuzz/corpus/. Usage: scripts/fuzz.sh [seconds per fuzzer, default 60]
#
# Both fuzzers run side by side, one per core. Inputs that add coverage
# collect in <build>/corpus/ (the corpus in the repository stays as chosen);
# an input that breaks an invariant is written to <build>/artifacts/ and
# fails the run. After a fix, copy it into fuzz/corpus/<fuzzer>/ so that the
# ordinary test suite replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${FP_FUZZ_SECONDS:-60}}"
dir="${FP_FUZZ_BUILD_DIR:-build-fuzz}"
fuzzers=(transact field)

CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFP_BUILD_FUZZ=ON -DFP_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" --target "${fuzzers[@]/%/_fuzzer}"

pids=()
for name in "${fuzzers[@]}"; do
  mkdir -p "$dir/corpus/$name" "$dir/artifacts"
  "$dir/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/$name-" "$dir/corpus/$name" "fuzz/corpus/$name" \
    >"$dir/$name.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!fuzzers[@]}"; do
  name="${fuzzers[$i]}"
  if wait "${pids[$i]}"; then
    echo "fuzz $name: $(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$dir/$name.log" |
      grep -Eo '[0-9]+$') inputs in ${seconds} s, no invariant broken"
  else
    failed=1
    echo "fuzz $name: FAILED, log $dir/$name.log" >&2
    grep -E 'INVARIANT|ERROR|runtime error|SUMMARY|Test unit written' "$dir/$name.log" >&2 || true
  fi
done
exit "$failed"
