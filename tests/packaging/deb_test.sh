#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a temporary folder and checks what a user
# gets: the control fields, the installed files, and that both programs run from the unpacked tree.
# usage: deb_test.sh BUILD_DIR VERSION
set -euo pipefail
build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
expect_equal() { # what, actual, expected
  [ "$2" = "$3" ] || fail "$1 is '$2', expected '$3'"
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, found: ${debs[*]}"; exit 1; }
deb="${debs[0]}"

field() { dpkg-deb -f "$deb" "$1"; }
expect_equal Package "$(field Package)" veltrik
expect_equal Version "$(field Version)" "$version"
expect_equal Architecture "$(field Architecture)" "$(dpkg --print-architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

# Every dependency is a Debian package: the build machine has each installed, since it built against them.
depends="$(field Depends)"
for needed in libqt6core6 libqt6widgets6 libqt6webenginewidgets6 libicu72 libzip4 libqt6webenginecore6-bin \
  fonts-noto-cjk libqt6sql6-sqlite; do
  grep -Eq "(^|, )$needed( |,|$)" <<< "$depends" || fail "Depends lacks $needed: $depends"
done
while read -r dependency; do
  name="${dependency%% *}"
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' \
    || fail "dependency $name is not an installed Debian package"
done < <(tr ',|' '\n\n' <<< "$depends" | sed 's/^ *//; /^$/d')

root="$work/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
for file in usr/bin/veltrik usr/bin/veltrik-cli; do
  [ -x "$root/$file" ] || fail "$file is missing or not executable"
done
desktop="$share/applications/net.veltrik.veltrik.desktop"
metainfo="$share/metainfo/net.veltrik.veltrik.metainfo.xml"
[ -f "$desktop" ] && [ -f "$metainfo" ] || fail "the desktop entry or the metainfo is missing"
for size in 16 24 32 48 64 128 256; do
  icon="$share/icons/hicolor/${size}x${size}/apps/veltrik.png"
  # A PNG file holds its width and height as 32-bit big-endian numbers at bytes 16 to 23.
  dimensions="$(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null \
    | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 "x" (($5 * 256 + $6) * 256 + $7) * 256 + $8 }')"
  expect_equal "the ${size}px icon" "$dimensions" "${size}x${size}"
done
places='^\./usr/(bin|share/(applications|metainfo|icons/hicolor))/'
unexpected="$(cd "$root" && find . -type f | grep -Ev "$places" || true)"
[ -z "$unexpected" ] || fail "files outside the program's places: $unexpected"

grep -q '^Exec=veltrik$' "$desktop" || fail "the desktop entry does not start veltrik"
grep -q '^Icon=veltrik$' "$desktop" || fail "the desktop entry names another icon"
complaints="$(desktop-file-validate "$desktop" 2>&1 | grep -v ': hint: ' || true)"
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
appstreamcli validate --no-net "$metainfo" > "$work/appstream.log" 2>&1 || {
  cat "$work/appstream.log"
  fail "appstreamcli rejects the metainfo"
}

# Both programs answer --version without a display.
without_display() { env -u DISPLAY -u WAYLAND_DISPLAY "$@"; }
expect_equal "veltrik-cli --version" "$(without_display "$root/usr/bin/veltrik-cli" --version)" \
  "veltrik-cli $version"
expect_equal "veltrik --version" "$(without_display "$root/usr/bin/veltrik" --version)" "Veltrik $version"

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") passes"
