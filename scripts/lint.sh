#!/usr/bin/env bash
# clang-tidy on every C++ source of the project, any finding an error:
# lint.sh DIR (a configured build folder with compile_commands.json).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
mapfile -t sources < <(git ls-files '*.cpp' | grep -v '^fuzz/')
run-clang-tidy -quiet -p "$dir" -j "$(nproc)" "${sources[@]}" \
    >"$dir/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' "$dir/clang-tidy.log" | sort -u | head -n 50
    echo "clang-tidy found problems (all of them: $dir/clang-tidy.log)" >&2
    exit 1
}
echo "clang-tidy passed"
