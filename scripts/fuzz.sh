#!/usr/bin/env bash
# Builds the parsers' libFuzzer harnesses with clang into build-fuzz/ and runs each in turn for SECONDS
# (default 60), one at a time. Each harness starts from its seeds in tests/fuzz/corpus/<harness>/ and
# grows a working corpus in build-fuzz/corpus/<harness>/, which later runs continue from. Crashes and
# timeouts are written to build-fuzz/artifacts/<harness>/; the script fails when there is any.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
shift || true

scripts/install-deps.sh
missing=()
for package in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWORDLARK_FUZZ=ON \
    -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    for dir in tests/fuzz/corpus/*/; do harnesses+=("$(basename "$dir")"); done
fi
cmake --build build-fuzz --parallel "$(nproc)" --target "${harnesses[@]}"

# Longest input per harness. Dictionary lines of tens of kilobytes must be reachable: a slow path on long
# lines hid below the default limit of 4 KB.
max_len() {
    case "$1" in
    fuzz_dictionary) echo 262144 ;;
    # A pinyin field is a few syllables (CC-CEDICT's longest has under 100 letters); a 2 MB one is
    # covered by the sound name tests.
    fuzz_soundname) echo 128 ;;
    *) echo 16384 ;;
    esac
}

# Undefined behaviour stops the run like a crash, so that it leaves an input to replay.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

summary=$root/build-fuzz/fuzz-summary.txt
: >"$summary"
status=0
for harness in "${harnesses[@]}"; do
    corpus=$root/build-fuzz/corpus/$harness
    artifacts=$root/build-fuzz/artifacts/$harness/
    mkdir -p "$corpus" "$artifacts"
    log=$root/build-fuzz/$harness.log
    echo "== $harness: ${seconds} s"
    # The first corpus folder receives what the run finds; the seeds are only read.
    result=0
    (cd build-fuzz && ./tests/fuzz/"$harness" -max_total_time="$seconds" -max_len="$(max_len "$harness")" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" \
        "$corpus" "$root/tests/fuzz/corpus/$harness") >"$log" 2>&1 || result=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    crashes=$(find "$artifacts" -name 'crash-*' -o -name 'leak-*' -o -name 'oom-*' | wc -l)
    timeouts=$(find "$artifacts" -name 'timeout-*' -o -name 'slow-unit-*' | wc -l)
    line="$harness: ${execs:-?} executions in ${seconds} s, $crashes crashes, $timeouts timeouts"
    echo "$line" | tee -a "$summary"
    if [ "$result" -ne 0 ] || [ "$crashes" -ne 0 ] || [ "$timeouts" -ne 0 ]; then
        echo "   see $log and $artifacts" >&2
        status=1
    fi
done
exit "$status"
