#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a while, one
# process each, then prints the executions per target.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   SECONDS per target, default 600;
#                                           all targets by default
#
# Fails on any crash, leak, sanitizer report or slow input (10 s); the input
# is kept in build-fuzz/artifacts/ and the log in build-fuzz/logs/; copy it
# into tests/data/fuzz/TARGET/ with the fix, where the regression tests and
# later runs pick it up. Inputs found to widen the coverage collect in
# build-fuzz/corpus/, never in the repository's seed folders.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
if [[ $# -gt 0 ]]; then
  targets=("$@")
else
  targets=()
  for dir in fuzz/corpus/*/; do
    targets+=("$(basename "$dir")")
  done
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZENORB_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
mkdir -p build-fuzz/artifacts build-fuzz/logs

failed=()
report=()
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  log=build-fuzz/logs/$target.log
  mkdir -p "$corpus"
  # The seeds, and the inputs earlier runs failed on (kept as test fixtures).
  seeds=(fuzz/corpus/"$target")
  [[ -d tests/data/fuzz/$target ]] && seeds+=(tests/data/fuzz/"$target")
  echo "fuzz_$target: ${seconds} s"
  status=0
  build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/"$target"- "$corpus" "${seeds[@]}" \
    >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  report+=("$(printf '%-16s %12s executions in %s s' "$target" "${runs:-?}" "$seconds")")
  if [[ $status -ne 0 ]]; then
    failed+=("$target")
    echo "fuzz_$target failed (status $status); the end of $log:" >&2
    tail -n 40 "$log" >&2
  fi
done

printf '%s\n' "${report[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "failed: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
  exit 1
fi
