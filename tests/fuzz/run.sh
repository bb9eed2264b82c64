#!/usr/bin/env bash
# Builds the fuzz targets with clang++ under AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for SECONDS (default 30), as
# many at a time as there are cores. Fails when any target finds a crash or
# a broken property; the input that did it is kept in
# build-fuzz/artifacts/, and the log of each run in build-fuzz/logs/.
#
#   tests/fuzz/run.sh [SECONDS]
#
# New inputs go to a scratch corpus; the committed seeds in
# tests/fuzz/corpus/<target>/ are only read. ZENTRILL_WERROR=ON builds with
# -Werror; ZENTRILL_FUZZ_BUILD names another build directory.
set -euo pipefail

seconds=${1:-30}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZENTRILL_FUZZ_BUILD:-$root/build-fuzz}
corpus=$root/tests/fuzz/corpus
# Each target with the longest input it is given: past a text item's 4096
# characters for the reader; a full line fits in 1024 key bytes (Tab).
targets=(text_reader_fuzzer key_input_fuzzer pitch_analysis_fuzzer module_writer_fuzzer)
declare -A max_len=([text_reader_fuzzer]=8192 [key_input_fuzzer]=1024
                    [pitch_analysis_fuzzer]=4096 [module_writer_fuzzer]=4096)
parallel=$(nproc)

mkdir -p "$build/artifacts" "$build/logs"
echo "building the fuzz targets in $build"
if ! { cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DZENTRILL_FUZZ=ON \
         -DZENTRILL_TESTS=OFF -DZENTRILL_WERROR="${ZENTRILL_WERROR:-OFF}" &&
       cmake --build "$build" --target zentrill_fuzzers -j "$parallel"; } >"$build/logs/build.log" 2>&1
then
  cat "$build/logs/build.log"
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs one target; its exit status goes to $scratch/<target>.status.
run_target() {
  local target=$1 status=0
  mkdir -p "$scratch/$target"
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$scratch/$target" "$corpus/$target" >"$build/logs/$target.log" 2>&1 || status=$?
  echo "$status" >"$scratch/$target.status"
}

for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n; done
  run_target "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  log=$build/logs/$target.log
  if [[ $(cat "$scratch/$target.status") == 0 ]]; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} runs in $seconds s, no failure"
  else
    failed+=("$target")
    echo "$target: FAILED, log in $log"
    grep -E 'property failed|ERROR: |runtime error|SUMMARY|Test unit written' "$log" \
      | head -20 || true
  fi
done

if ((${#failed[@]})); then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "fuzzing passed: ${#targets[@]} targets, ${seconds} s each"
