#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get as a user would, runs
# the installed programs and removes the package again. It changes the machine, so it is
# not part of the normal test run: scripts/test runs it only with ZENTROVA_DEB_TEST=1.
# Usage: tests/install/deb_test.sh [BUILD_DIR]   (as root or with sudo)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/deb}
scripts/setup
if dpkg-query -W -f='${Status}' zentrova 2>/dev/null | grep -q 'install ok installed'; then
    echo "zentrova is installed already; remove it first" >&2
    exit 1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTROVA_TESTS=OFF >/dev/null
cmake --build "$build" -j2
rm -f "$build"/zentrova_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/zentrova_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Suggests Installed-Size
dpkg-deb --contents "$deb" | awk '{print $6}'

apt_get() { scripts/as-root env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@"; }
cleanup() { apt_get purge zentrova >/dev/null || true; }
trap cleanup EXIT
apt_get install "$deb"

work=$(mktemp -d)
trap 'cleanup; rm -rf "$work"' EXIT
echo "== installed"
command -v zentrova zentrova-convert
grep -qxF "License: $(head -n 1 LICENSE | sed 's/ License$//')" /usr/share/doc/zentrova/copyright
version=$(env -u DISPLAY -u WAYLAND_DISPLAY zentrova-convert --version)
echo "$version"
[ "$version" = "zentrova-convert $(sed -n 's/^project(Zentrova VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ]

# The installed converter at work, on the installed icon: an icon becomes a bitmap.
env -u DISPLAY -u WAYLAND_DISPLAY zentrova-convert -d "$work" /usr/share/zentrova/zentrova.ico
[ -s "$work/zentrova.ico.BMP" ]
# The manual pages are where man looks for them, whether or not man is on this machine.
for page in zentrova zentrova-convert; do
    [ "$(dpkg -S "/usr/share/man/man1/$page.1.gz")" = "zentrova: /usr/share/man/man1/$page.1.gz" ]
done

# The window starts and keeps running: its libraries and Qt's platform plugin are there.
if ldd "$(command -v zentrova)" | grep 'not found'; then exit 1; fi
status=0
QT_QPA_PLATFORM=offscreen timeout 3 zentrova || status=$?
[ "$status" -eq 124 ] || { echo "zentrova ended with status $status" >&2; exit 1; }
echo "== the package installs and runs"
