#!/usr/bin/env bash
# Checks the Debian package that cpack wrote into BUILD_DIR without installing
# it: its name, control fields and file list, and that what it ships passes the
# checks a Debian system applies (lintian, appstreamcli, desktop-file-validate,
# man). The version and release date must be the ones in the top CMakeLists.
# Usage: check_deb.sh BUILD_DIR
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: check_deb.sh BUILD_DIR}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

version=$(sed -n 's/^project(Quillterm VERSION \([0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")
date=$(sed -n 's/^set(QUILL_RELEASE_DATE \([0-9-]*\))$/\1/p' "$top/CMakeLists.txt")
[ -n "$version" ] && [ -n "$date" ] || { echo "FAIL: no version or release date in CMakeLists.txt"; exit 1; }
deb="$build/quillterm_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAIL: $deb was not built"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillterm ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
[ "$(field Section)" = net ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
field Maintainer | grep -Eq '^[^<]+ <[^@ ]+@[^> ]+>$' || fail "Maintainer: $(field Maintainer)"
# Computed from the programs: the C library and Qt Widgets must be among them.
for lib in libc6 libqt6widgets6 libqt6network6; do
    field Depends | grep -Eq "(^|, )$lib( |,|$)" || fail "Depends lacks $lib: $(field Depends)"
done
# The Wayland platform plugin, which Qt loads at run time and shlibdeps cannot see.
field Recommends | grep -Eq "(^|, )qt6-wayland( |,|$)" || fail "Recommends lacks qt6-wayland: $(field Recommends)"
description=$(field Description)
summary=$(head -n 1 <<<"$description")
[ -n "$summary" ] && [[ "${summary,,}" != quillterm* ]] || fail "short description: '$summary'"
[ "$(sed 1d <<<"$description" | grep -c '[a-z]')" -gt 0 ] || fail "no extended description"

# Files: these and no others, all under /usr, programs executable.
sort >"$tmp/expected" <<LIST
./usr/bin/quillterm
./usr/bin/quillterm-demo-host
./usr/bin/quillterm-replay
./usr/share/applications/com.brannock.Quillterm.desktop
./usr/share/doc/quillterm/changelog.gz
./usr/share/doc/quillterm/copyright
$(for s in 16 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${s}x$s/apps/com.brannock.Quillterm.png"; done)
./usr/share/man/man1/quillterm-demo-host.1.gz
./usr/share/man/man1/quillterm-replay.1.gz
./usr/share/man/man1/quillterm.1.gz
./usr/share/metainfo/com.brannock.Quillterm.metainfo.xml
LIST
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$tmp/actual"
diff -u "$tmp/expected" "$tmp/actual" >"$tmp/diff" || fail "file list differs:$(echo; cat "$tmp/diff")"
dpkg-deb -c "$deb" | awk '$6 ~ /^\.\/usr\/bin\/./ && ($1 != "-rwxr-xr-x" || $2 != "root/root") { print }' \
    >"$tmp/modes"
[ -s "$tmp/modes" ] && fail "programs' mode or owner: $(cat "$tmp/modes")"

# What it ships.
dpkg-deb -x "$deb" "$tmp/root"
share="$tmp/root/usr/share"
for page in quillterm quillterm-replay quillterm-demo-host; do
    man="$share/man/man1/$page.1.gz"
    zcat "$man" | head -n 1 | grep -Fq "\"$date\" \"Quillterm $version\"" \
        || fail "$page(1) header: $(zcat "$man" | head -n 1)"
    warnings=$(MANWIDTH=80 man --warnings -l "$man" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page(1) renders with warnings: $warnings"
done

desktop="$share/applications/com.brannock.Quillterm.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=quillterm %u' "$desktop" || fail "desktop entry does not pass links to quillterm"
grep -Eqx 'MimeType=(.*;)?x-scheme-handler/telnet;(.*)?' "$desktop" || fail "desktop entry takes no telnet: links"
grep -Eqx 'MimeType=(.*;)?x-scheme-handler/telnets;(.*)?' "$desktop" || fail "desktop entry takes no telnets: links"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no icon named '$icon' in the package"

metainfo="$share/metainfo/com.brannock.Quillterm.metainfo.xml"
if ! out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || grep -q '^[EW]:' <<<"$out"; then
    fail "appstreamcli validate: $out"
fi
grep -Fq "<release version=\"$version\" date=\"$date\"" "$metainfo" || fail "metainfo release is not $version of $date"
grep -Fq '<launchable type="desktop-id">com.brannock.Quillterm.desktop</launchable>' "$metainfo" \
    || fail "metainfo does not launch the desktop entry"

zcat "$share/doc/quillterm/changelog.gz" >"$tmp/changelog"
[ "$(dpkg-parsechangelog -l "$tmp/changelog" -S Version)" = "$version" ] || fail "changelog version"
[ "$(date -u -d "$(dpkg-parsechangelog -l "$tmp/changelog" -S Date)" +%F)" = "$date" ] || fail "changelog date"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
    "$share/doc/quillterm/copyright" || fail "copyright file is not in the machine-readable format"

# lintian: no errors. Warnings and notes are shown, not failed on.
lintian --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1
grep -v 'running with root privileges' "$tmp/lintian"
grep -q '^E:' "$tmp/lintian" && fail "lintian reports errors"

[ "$failures" -eq 0 ] || { echo "$failures package check(s) failed"; exit 1; }
echo "package checks passed: $(basename "$deb")"
