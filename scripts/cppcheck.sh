#!/usr/bin/env bash
# cppcheck on every source of a configured build, any finding an error.
# Usage: cppcheck.sh [BUILD-DIR]
# Qt's generated files guard themselves with #error when Qt's headers are not
# read, and cppcheck does not read them; those guards are all it says there.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cppcheck --project="$build/compile_commands.json" --library=googletest --library=qt \
    --enable=warning,performance,portability --inline-suppr --quiet --error-exitcode=1 \
    -j "$(nproc)" --suppress='*:/usr/*' --suppress='preprocessorErrorDirective:*.moc' \
    --suppress='preprocessorErrorDirective:*moc_*'
echo "cppcheck: no findings"
