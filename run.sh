#!/usr/bin/env bash
# Installs what is missing, builds Wordlark and starts it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)"
if [ -x build/wordlark-audio ] && command -v espeak-ng >/dev/null && command -v lame >/dev/null; then
    build/wordlark-audio build/Dictionary/Dict.dic build/audio
fi

cd build
exec ./wordlark "$@"
