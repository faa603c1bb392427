#!/usr/bin/env bash
# Builds the Debian package from a build directory, unpacks it and checks it
# as a desktop would use it: the program, its menu entry, icon and software-
# centre description are there, valid and naming one another, and so is the
# manual page; the package depends on the SDL2 runtime; and the unpacked
# program opens its window under its own Xvfb, draws, and quits with status 0
# on escape.
#   check_package.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1
build=$2
id=io.github.rotary_envelope.RotaryEnvelope
# Generous bounds for a busy machine; they only stop a hung test.
start_timeout=60
run_timeout=120

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
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
[ -f "$program" ] && [ -x "$program" ] || fail "no executable $program"
for file in "$desktop" "$icon" "$metainfo" "$manual"; do
  [ -s "$file" ] || fail "missing or empty: ${file#"$work/root"}"
done
grep -q '<svg ' "$icon" || fail "the icon is not an SVG picture"
zcat "$manual" | grep -q '^\.TH ROTARY-ENVELOPE 1 ' || fail "the manual page is not rotary-envelope(1)"

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"

# The entry, the icon and the description must name one another.
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = rotary-envelope ] || fail "Exec is '$(entry Exec)', not the installed program"
[ "$(entry Icon)" = "$id" ] || fail "Icon is '$(entry Icon)', not the installed icon $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"

# The unpacked program under its own X server.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp -dpi 96 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 300); do
  grep -q . "$work/display" 2>/dev/null && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")"
[ "$DISPLAY" != ":" ] || fail "Xvfb reported no display"
echo "display $DISPLAY"

# A pointer over the new window would hold the animation.
xdotool mousemove 0 0
timeout "$run_timeout" "$program" &
program_pid=$!
window=$(timeout "$start_timeout" xdotool search --sync --name Dusmar | head -n1) ||
  fail "the window did not appear"
echo "window $window"

# The menu entry groups the window under the class the program gives it.
wm_class=$(xprop -id "$window" WM_CLASS)
echo "$wm_class"
grep -Fq "\"$(entry StartupWMClass)\"" <<<"$wm_class" || fail "StartupWMClass does not match the window's class"

# The program draws: wait for the red figure.
red_pixels=0
for _ in $(seq "$start_timeout"); do
  import -window "$window" "$work/window.png"
  red_pixels=$(/usr/bin/python3 -c '
import sys
from PIL import Image
print(sum(1 for p in Image.open(sys.argv[1]).convert("RGB").getdata() if p == (255, 0, 0)))' "$work/window.png")
  [ "$red_pixels" -gt 1000 ] && break
  sleep 1
done
echo "red pixels: $red_pixels"
[ "$red_pixels" -gt 1000 ] || fail "the window shows no red figure"

xdotool key Escape
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status after escape"
echo "PASS"
