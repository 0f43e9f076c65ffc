#!/usr/bin/env bash
# Installs a build tree into a temporary folder, as a package would, and checks what the
# desktop and the programs read there: the desktop entry, the AppStream metadata, the icons,
# the manual pages, the machine hive where the program looks for it, and the converter.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail

build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
id=org.zentrova.Zentrova

for program in zentrova zentrova-convert; do
    [ -x "$usr/bin/$program" ] || fail "bin/$program is not installed"
done

desktop=$usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
grep -qx 'Exec=zentrova %f' "$desktop" || fail "the desktop entry does not start zentrova with a file"
for type in image/jpeg image/gif image/bmp image/vnd.microsoft.icon; do
    grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not open $type"
done

metainfo=$usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo" >&2 || true
    fail "appstreamcli refuses $metainfo"
}
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch the installed desktop entry"

# One application record names the program everywhere.
description=${ZENTROVA_DESCRIPTION:-Convert pictures to icons and icons to pictures with this little tool}
summary=${ZENTROVA_SUMMARY:-convert pictures to icons and icons to pictures with this little tool}
grep -qxF "Comment=$description" "$desktop" || fail "the desktop entry's comment is not the record's"
grep -qF "<summary>$description</summary>" "$metainfo" || fail "the metainfo's summary is not the record's"
grep -qF "<release version=\"${ZENTROVA_VERSION:-1.0.38}\"" "$metainfo" ||
    fail "the metainfo does not name this version"

# The theme icons are the 32 x 32 application icon scaled by whole factors, with its
# transparency: compare each with the installed .ico, read by an independent reader.
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
/usr/bin/python3 - "$usr" "$icon_name" <<'PY' || fail "the theme icons do not match the application icon"
import sys
from PIL import Image
usr, name = sys.argv[1], sys.argv[2]
ico = Image.open(f"{usr}/share/zentrova/zentrova.ico").convert("RGBA")
assert ico.size == (32, 32), ico.size
for size in (32, 64, 128, 256):
    png = Image.open(f"{usr}/share/icons/hicolor/{size}x{size}/apps/{name}.png")
    assert png.format == "PNG" and png.mode == "RGBA" and png.size == (size, size), (size, png.mode)
    assert png.resize((32, 32), Image.NEAREST).tobytes() == ico.tobytes(), size
    assert png.getpixel((0, 0))[3] == 0, "the corner is transparent"
PY
[ "$(stat -c %s "$usr/share/zentrova/zentrova.ico")" = 766 ] || fail "zentrova.ico is not the 766-byte icon"

for page in zentrova zentrova-convert; do
    man=$usr/share/man/man1/$page.1.gz
    if [ ! -f "$man" ]; then
        fail "the manual page $page(1) is not installed"
        continue
    fi
    warnings=$(zcat "$man" | groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $page(1): $warnings"
    zcat "$man" | grep -qF "$page \\- $summary" || fail "the NAME of $page(1) is not the record's summary"
done

# One licence: LICENSE names it and holds its text, the metainfo and the package's copyright
# file say the same.
license_file=$(dirname "$0")/../../LICENSE
spdx=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$metainfo")
[ -n "$spdx" ] && [ "$(head -n 1 "$license_file")" = "$spdx License" ] ||
    fail "the metainfo's licence '$spdx' is not the one LICENSE names"
copyright=$usr/share/doc/zentrova/copyright
if [ -f "$copyright" ]; then
    [ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        fail "the copyright file is not in the machine-readable format"
    grep -qxF "Copyright: $(sed -n 's/^Copyright (c) //p' "$license_file")" "$copyright" ||
        fail "the copyright file does not name LICENSE's holder"
    [ "$(grep -c '^Files: ' "$copyright")" = 1 ] && grep -qx 'Files: \*' "$copyright" ||
        fail "the copyright file does not cover every installed file with one licence"
    grep -qxF "License: $spdx" "$copyright" || fail "the copyright file does not name $spdx"
    # Unfolded, the text under the licence name is LICENSE's below its copyright line.
    diff <(sed -n '/^License: /,$p' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//') \
        <(sed '1,/^Copyright (c) /d' "$license_file" | sed '1{/^$/d}') >&2 ||
        fail "the copyright file's licence text is not LICENSE's"
else
    fail "the copyright file is not in share/doc/zentrova"
fi

# Where the installed program looks: <prefix>/share/zentrova beside its bin folder.
[ -f "$usr/share/zentrova/machine.reg" ] || fail "the machine hive is not in share/zentrova"
grep -q '^Windows Registry Editor Version 5.00' "$usr/share/zentrova/machine.reg" 2>/dev/null ||
    fail "the installed hive is not a registry hive"

if readelf -d "$usr/bin/zentrova-convert" | grep -q 'NEEDED.*libQt'; then
    fail "zentrova-convert links Qt"
fi
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/zentrova-convert" --version)
[ "$version" = "zentrova-convert ${ZENTROVA_VERSION:-1.0.38}" ] ||
    fail "the installed converter says '$version'"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/zentrova" --version)
[ "$version" = "zentrova ${ZENTROVA_VERSION:-1.0.38}" ] || fail "the installed program says '$version'"

# A root `cmake --install` leaves its manifest in the build tree, owned by root; the package,
# made next by the user, must leave that file alone. An archive goes through the same
# install step as the Debian package, and quicker.
manifest=$build/install_manifest.txt
echo 'left by cmake --install' >"$manifest"
cpack -G TGZ --config "$build/CPackConfig.cmake" -B "$root/package" >/dev/null ||
    fail "cpack cannot package the build tree"
[ "$(cat "$manifest")" = 'left by cmake --install' ] ||
    fail "cpack rewrites the manifest that cmake --install leaves in the build tree"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the installed tree validates"
