#!/usr/bin/env bash
# Builds the Debian package from a build directory, checks it with lintian
# (no error or warning), unpacks it and checks it as a desktop would use it:
# the program, its menu entry, icon and software-centre description are
# there, valid and naming one another, and so are the manual page and the
# licence; the package depends on the SDL2 runtime; and the unpacked program
# opens its window under its own Xvfb, draws, and quits with status 0 on
# escape.
#   check_package.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1
build=$2
id=io.github.rotary_envelope.RotaryEnvelope

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
trap "exit 143" TERM INT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The package.
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack did not make the package"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Debian's own checks: a copyright file and a changelog among them.
lintian --allow-root --fail-on error,warning "$deb" || fail "lintian finds errors or warnings in the package"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -Eq '(^|, )libsdl2-[0-9.]+-[0-9]+( |,|$)' <<<"$depends" || fail "Depends does not name the SDL2 runtime"

# Its files, unpacked.
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
program=$usr/bin/rotary-envelope
desktop=$usr/share/applications/$id.desktop
icon=$usr/share/icons/hicolor/scalable/apps/$id.svg
metainfo=$usr/share/metainfo/$id.metainfo.xml
manual=$usr/share/man/man1/rotary-envelope.1.gz
copyright=$usr/share/doc/rotary-envelope/copyright
[ -f "$program" ] && [ -x "$program" ] || fail "no executable $program"
for file in "$desktop" "$icon" "$metainfo" "$manual"; do
  [ -s "$file" ] || fail "missing or empty: ${file#"$work/root"}"
done
grep -q '<svg ' "$icon" || fail "the icon is not an SVG picture"
zcat "$manual" | grep -q '^\.TH ROTARY-ENVELOPE 1 ' || fail "the manual page is not rotary-envelope(1)"
grep -qx 'License: Expat' "$copyright" && grep -q 'the rotary-envelope developers' "$copyright" ||
  fail "the copyright file does not give the MIT (Expat) licence of the rotary-envelope developers"

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"

# The entry, the icon and the description must name one another.
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = rotary-envelope ] || fail "Exec is '$(entry Exec)', not the installed program"
[ "$(entry Icon)" = "$id" ] || fail "Icon is '$(entry Icon)', not the installed icon $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"

# The unpacked program under its own X server, as the end-to-end tests run it.
/usr/bin/python3 "$(dirname "$0")/run_unpacked.py" "$program" "$(entry StartupWMClass)" ||
  fail "the unpacked program did not run as the menu entry expects"
echo "PASS"
