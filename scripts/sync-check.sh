#!/usr/bin/env bash
# Checks the sync folder with a real file-sync engine: two Syncthing instances on 127.0.0.1 only (no
# discovery, no relays, no announcements), each with a home of its own, carry two journals' answers both
# ways. Waits at most a minute and stops both instances whatever happens.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2 --target tst_syncthing
exec build/tests/tst_syncthing "$@"
