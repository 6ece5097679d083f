#!/usr/bin/env bash
# Builds the Debian package wordlark_<version>_<arch>.deb into the repository's top folder: a release
# build of its own in build-package/, the sound pack of the built-in course synthesised with
# wordlark-audio, then CPack. The desktop entry, the AppStream data and the package are checked with
# desktop-file-validate, appstreamcli and lintian where those are installed.
set -euo pipefail
cd "$(dirname "$0")/.."
top="$(pwd)"
build="$top/build-package"

# dpkg-shlibdeps (dpkg-dev) and file find the package's library dependencies.
scripts/install-deps.sh dpkg-dev file

# Debian's own compiler and linker flags (hardening: fortified functions, read-only relocations).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS="$(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target wordlark wordlark-audio wordlark_docs

# Made afresh, so the package holds the sounds of exactly the words the course has now.
rm -rf "$build/bin/audio"
"$build/bin/wordlark-audio" "$build/bin/Dictionary/Dict.dic" "$build/bin/audio"

rm -f "$build"/wordlark_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package="$(ls "$build"/wordlark_*.deb)"
cp "$package" "$top/"
package="$top/$(basename "$package")"

status=0
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate packaging/*.desktop || status=1
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$build"/packaging/*.metainfo.xml >/dev/null || status=1
fi
if command -v lintian >/dev/null; then
    # Errors fail the build; warnings are shown.
    lintian --fail-on error "$package" || status=1
fi
[ "$status" -eq 0 ] || { echo "The package was made but fails a check above: $package" >&2; exit 1; }
echo "$package"
