#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a number of inputs:
# fuzz.sh [RUNS] [BUILD-DIR] [cmake options...]. CI runs a short, sanitized round.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3000}
dir=${2:-build-fuzz}
shift $(($# > 2 ? 2 : $#))
scripts/build.sh "$dir" -DVELKOR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
for target in KeyTextFuzz GroupTextFuzz DamagedFileFuzz; do
    corpus=$(mktemp -d)
    log=$(mktemp)
    status=0
    "$dir/fuzz/$target" -runs="$runs" -max_len=4096 -print_final_stats=1 "$corpus" >"$log" 2>&1 ||
        status=$?
    echo "$target: $(grep -E '^stat::number_of_executed_units' "$log" || true)"
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log" >&2
        echo "$target failed" >&2
        exit 1
    fi
    rm -rf "$corpus" "$log"
done
