#!/usr/bin/env bash
# Fails when a C++ file does not follow .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ ${#files[@]} -gt 0 ]; then
    clang-format --dry-run --Werror "${files[@]}"
fi
echo "format check passed"
