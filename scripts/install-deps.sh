#!/usr/bin/env bash
# Installs the Debian packages Wordlark needs to build, run and test, and only those that are missing,
# then the stroke data (an npm package, pinned) into a cache folder the build reads it from.
# Packages named as arguments are added to the list (scripts/package.sh names its packaging tools).
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-multimedia-dev libjpeg62-turbo-dev qt6-translations-l10n
    libqt6sql6-sqlite libsqlite3-dev qt6-charts-dev libqt6opengl6-dev ccache
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    xvfb xauth fonts-liberation fonts-wqy-microhei fonts-arphic-uming fonts-freefont-ttf
    fonts-arphic-ukai fonts-arphic-gkai00mp fonts-arphic-gbsn00lp fonts-wqy-zenhei
    espeak-ng lame
    openbox xdotool
    syncthing
    "$@"
)
# npm fetches the stroke data; Debian's package only where no npm is installed yet.
command -v npm >/dev/null || packages+=(npm)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The characters' strokes and medians; the build turns them into Data/strokes.sqlite. Must match
# WORDLARK_STROKE_DATA_DIR in CMakeLists.txt.
stroke_version=2.0.1
stroke_cache="${XDG_CACHE_HOME:-$HOME/.cache}/wordlark/npm"
stroke_package="$stroke_cache/node_modules/hanzi-writer-data/package.json"
if ! grep -qs "\"version\": \"$stroke_version\"" "$stroke_package"; then
    echo "Fetching the stroke data (hanzi-writer-data $stroke_version)"
    mkdir -p "$stroke_cache"
    npm install --prefix "$stroke_cache" --no-save --no-audit --no-fund --loglevel=error \
        "hanzi-writer-data@$stroke_version"
fi
