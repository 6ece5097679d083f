#!/usr/bin/env bash
# Installs what is missing, builds Wordlark and starts it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the program and its sound tool: ./test.sh builds the rest.
cmake --build build --parallel "$(nproc)" --target wordlark wordlark-audio
# A sound for every word of the built-in course; words that already have one are skipped.
if [ -x build/bin/wordlark-audio ] && command -v espeak-ng >/dev/null && command -v lame >/dev/null; then
    # A word the synthesiser fails on only goes without a sound; the program starts all the same.
    build/bin/wordlark-audio build/bin/Dictionary/Dict.dic build/bin/audio ||
        echo "Some word sounds could not be made; see the messages above." >&2
fi

cd build/bin
exec ./wordlark "$@"
