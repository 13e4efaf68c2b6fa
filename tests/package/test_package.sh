#!/usr/bin/env bash
# The Debian package built from a configured and built tree (the first argument): its files,
# lintian's verdict, and the unpacked programs, launcher entry, metainfo and manual pages.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
version=$("$build/velora" --version | sed -n 's/^velora //p')
arch=$(dpkg --print-architecture)
deb="$work/out/velora_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb among: $(ls "$work/out")"

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version differs from $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libqt6svg6 libx11-6 libxtst6 libjpeg62-turbo libicu libsdbus-c++1; do
    grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done

expected="/etc/ufw/applications.d/velora
/usr/bin/velora
/usr/bin/velora-remote
/usr/share/applications/velora.desktop
/usr/share/doc/velora/README.md
/usr/share/doc/velora/changelog.gz
/usr/share/doc/velora/copyright
/usr/share/icons/hicolor/128x128/apps/velora.png
/usr/share/icons/hicolor/16x16/apps/velora.png
/usr/share/icons/hicolor/22x22/apps/velora.png
/usr/share/icons/hicolor/24x24/apps/velora.png
/usr/share/icons/hicolor/256x256/apps/velora.png
/usr/share/icons/hicolor/32x32/apps/velora.png
/usr/share/icons/hicolor/48x48/apps/velora.png
/usr/share/icons/hicolor/512x512/apps/velora.png
/usr/share/icons/hicolor/64x64/apps/velora.png
/usr/share/icons/hicolor/scalable/apps/velora.svg
/usr/share/icons/hicolor/scalable/status/velora-eye.svg
/usr/share/icons/hicolor/scalable/status/velora-pointer.svg
/usr/share/man/man1/velora-remote.1.gz
/usr/share/man/man1/velora.1.gz
/usr/share/metainfo/com.quorin.velora.metainfo.xml"
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<< "$expected")" ] ||
    fail "package contents differ:$(diff <(LC_ALL=C sort <<< "$expected") <(echo "$actual"))"
[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles)" = "/etc/ufw/applications.d/velora" ] ||
    fail "the ufw profile is not a conffile"

# lintian finds no warning in the package (scripts/package.sh says why its notes are accepted).
lintian --fail-on error,warning "$deb" > "$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian"; }

root="$work/root"
dpkg-deb -x "$deb" "$root"
[ "$("$root/usr/bin/velora" --version)" = "velora $version" ] || fail "velora --version"
[ "$("$root/usr/bin/velora-remote" --version)" = "velora-remote $version" ] ||
    fail "velora-remote --version"
"$root/usr/bin/velora-remote" --help > "$work/velora-remote-help.txt" || fail "velora-remote --help"
"$root/usr/bin/velora" --help > "$work/velora-help.txt" || fail "velora --help"
grep -q '^usage: velora-remote COMMAND' "$work/velora-remote-help.txt" || fail "velora-remote usage"

desktop-file-validate "$root/usr/share/applications/velora.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.quorin.velora.metainfo.xml" ||
    fail "metainfo"
for size in 16 48 512; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/velora.png" |
        grep -q "PNG image data, $size x $size," || fail "icon of size $size"
done

# Each page renders without a warning and names every option and command its program's help does.
for program in velora velora-remote; do
    page="$root/usr/share/man/man1/$program.1.gz"
    MANWIDTH=80 man --warnings -E UTF-8 -l "$page" > "$work/$program.txt" 2> "$work/$program.err"
    [ ! -s "$work/$program.err" ] || { cat "$work/$program.err"; fail "$program.1 warns"; }
    grep -q "^NAME" "$work/$program.txt" || fail "$program.1 did not render"
    for word in $(grep -o -- '--[a-z-]*[a-z]' "$work/$program-help.txt" | sort -u); do
        grep -q -- "$word" "$work/$program.txt" || fail "$program.1 lacks $word"
    done
done
for command in discover pair send shell screen; do
    grep -q "^       $command" "$work/velora-remote.txt" || fail "velora-remote.1 lacks $command"
done
for variable in VELORA_LANG LANGUAGE LC_ALL LC_MESSAGES LANG DISPLAY XDG_CONFIG_HOME HOME \
    XDG_SESSION_ID; do
    grep -q "$variable" "$work/velora.txt" || fail "velora.1 lacks $variable"
done
echo "package $(basename "$deb") checked"
