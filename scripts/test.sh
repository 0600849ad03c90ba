#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh

scripts/build.sh build
(cd build && ctest --output-on-failure --parallel "$(nproc)" --exclude-regex Unprivileged)
scripts/test-unprivileged.sh build

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure --parallel "$(nproc)" --exclude-regex Unprivileged)
