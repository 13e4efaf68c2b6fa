#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, ASan + UBSan) and runs each one for
# VELORA_FUZZ_SECONDS (default 60) from the seed corpus in fuzz/corpus/<target>/. Inputs the
# fuzzer finds go to build-fuzz/corpus/, crashes to build-fuzz/crashes/. Any crash, leak, UB
# report or timeout fails the run. VELORA_FUZZ_TARGETS limits the run to some targets.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${VELORA_FUZZ_SECONDS:-60}"
start=$SECONDS
dir=build-fuzz
cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVELORA_FUZZ=ON > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" --target fuzz_all -j2

targets="${VELORA_FUZZ_TARGETS:-$(ls fuzz/corpus)}"
mkdir -p "$dir/logs" "$dir/crashes"
failed=()
printf '%-22s %8s %12s %10s\n' target seconds executions result
for target in $targets; do
    work="$dir/corpus/$target"
    mkdir -p "$work"
    log="$dir/logs/$target.log"
    result=ok
    "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$dir/crashes/$target-" \
        "$work" "fuzz/corpus/$target" > "$log" 2>&1 || result=FAILED
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf '%-22s %8s %12s %10s\n' "$target" "$seconds" "${runs:-?}" "$result"
    if [ "$result" != ok ]; then
        failed+=("$target")
        grep -E -m1 -A25 'ERROR: |runtime error|check failed|timeout' "$log" || tail -30 "$log"
    fi
done
echo "fuzz build and runs: $((SECONDS - start))s"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]} (inputs in $dir/crashes/)"
    exit 1
fi
