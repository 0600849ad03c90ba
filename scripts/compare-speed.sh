#!/usr/bin/env bash
# Times velkor32-cli against the tools people would use instead, in one run on
# one 256 MiB random file in the page cache: best of three whole processes.
# Builds nothing: give the build folder (default build).
# Ratios are the other tool's seconds over ours: above 1, ours is faster.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=$(realpath "$build/cli/velkor32-cli")
[ -x "$cli" ] || { echo "no $build/cli/velkor32-cli: build it first" >&2; exit 1; }
# Optional: the comparisons need them, the project does not.
scripts/setup.sh age ent || echo "note: age or ent missing, their rows are skipped"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
size=$((256 << 20))
head -c "$size" /dev/urandom >in.bin
cat in.bin >/dev/null
export VELKOR_COMPARE_KEY=compare-speed-key COMPARE_PASS=compare-speed-pass

# Seconds of the best of three runs; every run writes a fresh output.
best() {
    local output=$1 best='' seconds
    shift
    for _ in 1 2 3; do
        rm -f "$output"
        seconds=$( { TIMEFORMAT=%R; time "$@" >/dev/null 2>&1; } 2>&1)
        if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$seconds
        fi
    done
    echo "$best"
}

rows=()
# job, our seconds, other tool, its seconds
row() { rows+=("$1|$2|$3|$4"); }

ours_encrypt=$(best out.vlk "$cli" encrypt --quiet --pass env:VELKOR_COMPARE_KEY in.bin out.vlk)
"$cli" encrypt --quiet --pass env:VELKOR_COMPARE_KEY in.bin in.vlk >/dev/null 2>&1
ours_decrypt=$(best out.bin "$cli" decrypt --quiet --pass env:VELKOR_COMPARE_KEY in.vlk out.bin)
openssl_encrypt=$(best out.enc openssl enc -aes-256-ctr -pbkdf2 -pass env:COMPARE_PASS \
    -in in.bin -out out.enc)
openssl enc -aes-256-ctr -pbkdf2 -pass env:COMPARE_PASS -in in.bin -out in.enc
openssl_decrypt=$(best out.bin openssl enc -d -aes-256-ctr -pbkdf2 -pass env:COMPARE_PASS \
    -in in.enc -out out.bin)
row "encrypt" "$ours_encrypt" "openssl aes-256-ctr" "$openssl_encrypt"
row "decrypt" "$ours_decrypt" "openssl aes-256-ctr -d" "$openssl_decrypt"
# age asks for a passphrase only on a terminal: an X25519 identity instead.
if command -v age >/dev/null && command -v age-keygen >/dev/null; then
    age-keygen -o age.key 2>/dev/null
    recipient=$(age-keygen -y age.key)
    age_encrypt=$(best out.age age -r "$recipient" -o out.age in.bin)
    age -r "$recipient" -o in.age in.bin
    age_decrypt=$(best out.bin age -d -i age.key -o out.bin in.age)
    row "encrypt" "$ours_encrypt" "age (X25519)" "$age_encrypt"
    row "decrypt" "$ours_decrypt" "age -d" "$age_decrypt"
    # Our results are on disk when we report success; age's are not.
    row "encrypt" "$ours_encrypt" "age, then sync" \
        "$(best out.age sh -c "age -r $recipient -o out.age in.bin && sync out.age")"
    row "decrypt" "$ours_decrypt" "age -d, then sync" \
        "$(best out.bin sh -c 'age -d -i age.key -o out.bin in.age && sync out.bin')"
else
    echo "note: age not installed, no age rows"
fi

ours_encode=$(best out.txt "$cli" groups --quiet in.bin out.txt)
"$cli" groups --quiet in.bin in.txt >/dev/null 2>&1
ours_decode=$(best out.bin "$cli" groups --quiet in.txt out.bin)
base64 in.bin >in.b64
row "groups encode" "$ours_encode" "base64" "$(best out.b64 sh -c 'base64 in.bin >out.b64')"
row "groups decode" "$ours_decode" "base64 -d" "$(best out.bin sh -c 'base64 -d in.b64 >out.bin')"
# Our results are on disk when we report success; base64's are not.
row "groups encode" "$ours_encode" "base64, then sync" \
    "$(best out.b64 sh -c 'base64 in.bin >out.b64 && sync out.b64')"
row "groups decode" "$ours_decode" "base64 -d, then sync" \
    "$(best out.bin sh -c 'base64 -d in.b64 >out.bin && sync out.bin')"

ours_count=$(best '!in!.txt' "$cli" analyse in.bin)
if command -v ent >/dev/null; then
    row "byte count" "$ours_count" "ent" "$(best none ent in.bin)"
else
    echo "note: ent not installed, no ent row"
    row "byte count" "$ours_count" "-" ""
fi

echo
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores"
echo "Input: $((size >> 20)) MiB of random bytes in the page cache; best of 3 whole processes"
printf '%-14s %8s %9s  %-22s %8s %9s  %6s\n' job velkor MB/s other seconds MB/s ratio
for entry in "${rows[@]}"; do
    IFS='|' read -r job ours tool theirs <<<"$entry"
    awk -v job="$job" -v ours="$ours" -v tool="$tool" -v theirs="$theirs" -v size="$size" 'BEGIN {
        mb = size / 1e6
        if (theirs == "") {
            printf "%-14s %8.3f %9.0f  %-22s\n", job, ours, mb / ours, tool
        } else {
            printf "%-14s %8.3f %9.0f  %-22s %8.3f %9.0f  %6.2f\n", job, ours, mb / ours, tool,
                theirs, mb / theirs, theirs / ours
        }
    }'
done
