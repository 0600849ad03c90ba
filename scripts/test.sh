#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (and
# as an ordinary user the tests that need one), clang-tidy and cppcheck on every
# source, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short round of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh

scripts/build.sh build
(cd build && ctest --output-on-failure --parallel "$(nproc)" --exclude-regex Unprivileged)
scripts/test-unprivileged.sh build
scripts/lint.py build
scripts/cppcheck.sh build

# -O1 as the sanitizers advise: several times faster than -O0, same reports.
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DVELKOR_SANITIZE=ON \
    -DVELKOR_BENCH=OFF -DVELKOR_WERROR=OFF  # warnings stop the normal build; -O1 sees a few more
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure --parallel "$(nproc)" --exclude-regex Unprivileged)
scripts/test-unprivileged.sh build-asan

# A short round of every fuzz target, under the sanitizers.
scripts/fuzz.sh 2000
