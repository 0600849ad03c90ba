#!/usr/bin/env bash
# Runs the tests whose names start with "Unprivileged" as an ordinary user:
# they rely on permission bits, which stop nothing for root. Usage: DIR (a
# build folder). As root it makes the user velkor-tests if it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(cd "$1" && pwd)
filter='*Unprivileged*'
run=()
if [ "$(id -u)" -eq 0 ]; then
    id velkor-tests >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin velkor-tests
    run=(runuser -u velkor-tests --)
fi
# The build folder may sit where that user cannot reach (under /root): the
# programs run from a copy of their own.
copies=$(mktemp -d)
trap 'rm -rf "$copies"' EXIT
chmod 755 "$copies"
found=0
for program in "$dir"/tests/*_tests; do
    if "$program" --gtest_list_tests --gtest_filter="$filter" | grep -q '^  '; then
        found=1
        cp "$program" "$copies/"
        copy="$copies/$(basename "$program")"
        chmod 755 "$copy"
        echo "as $("${run[@]}" id -un): $(basename "$program")"
        (cd /tmp && "${run[@]}" "$copy" --gtest_filter="$filter" --gtest_brief=1)
    fi
done
[ "$found" -eq 1 ] || { echo "no unprivileged tests found" >&2; exit 1; }
