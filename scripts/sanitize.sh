#!/usr/bin/env bash
# Builds Wordlark with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs every test
# headless. Fails when a test fails or when any sanitizer reports something, in a test or in a program a
# test starts. Extra arguments go to ctest (e.g. -R tst_quiz).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan --parallel "$(nproc)"

# Every report goes to a file of its own as well (log_path), so that a report from a program that a test
# starts is not lost when the test only looks at that program's exit code.
reports=$root/build-asan/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:log_path=$reports/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"

status=0
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@") || status=$?

shopt -s nullglob
found=("$reports"/*)
if [ ${#found[@]} -gt 0 ]; then
    echo "Sanitizer reports:" >&2
    for report in "${found[@]}"; do
        echo "==== $report" >&2
        cat "$report" >&2
    done
    status=1
fi
if [ "$status" -eq 0 ]; then
    echo "sanitize.sh: every test passed with no sanitizer report."
fi
exit "$status"
