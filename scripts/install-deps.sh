#!/usr/bin/env bash
# Installs the Debian packages Wordlark needs to build, run and test, and only those that are missing.
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
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
