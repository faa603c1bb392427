#!/usr/bin/env bash
# Installs the Debian packages the project needs and that are not installed
# yet, through apt-get (as root, or through sudo).
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   that, plus what the tests, benchmarks and checks need
#   install-deps.sh web    what building and testing the web page needs
#   install-deps.sh windows  what cross-building the Windows program needs
set -euo pipefail

run_packages=(g++ cmake ninja-build pkg-config libsdl2-dev libx11-dev libxi-dev libwayland-dev)
# MinGW-w64 for the program, dpkg-source for SDL2's Debian source package.
windows_packages=(g++-mingw-w64-x86-64 dpkg-dev)
build_packages=(libgtest-dev libbenchmark-dev)  # unit tests and benchmarks
test_packages=(
  xvfb xdotool x11-utils imagemagick       # the real program in a real X server
  openbox fluxbox icewm weston xwayland libdecor-0-plugin-1-cairo  # real desktops: window managers, Wayland
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils  # two monitors (Xorg, xrandr)
  python3 python3-xlib python3-pil         # end-to-end test scripts
  dpkg-dev file lintian                    # the Debian package, its dependencies and Debian's checks
  desktop-file-utils appstream             # checks of the desktop entry and metainfo
  clang-14 libclang-rt-14-dev              # the fuzzer (libFuzzer)
  "${windows_packages[@]}" wine64          # the Windows program, built and run under Wine
)

# The web page's tools, each wanted only when its command is missing: a node
# from elsewhere (NodeSource's bundles npm and conflicts with Debian's) will do.
# The page's tests run in three engines: Chromium, Firefox ESR and WebKitGTK's
# MiniBrowser (webkit2gtk-driver brings it and its WebDriver), the last in an
# Xvfb.
web_commands=(emscripten:em++ nodejs:node npm:npm chromium:chromium firefox-esr:firefox-esr
              webkit2gtk-driver:WebKitWebDriver xvfb:Xvfb cmake:cmake ninja-build:ninja python3:python3)

usage="usage: $0 run|build|test|web|windows..."
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
wanted=()
wanted_commands=()
for group in "$@"; do
  case "$group" in
    run) wanted+=("${run_packages[@]}") ;;
    build) wanted+=("${run_packages[@]}" "${build_packages[@]}") ;;
    test) wanted+=("${run_packages[@]}" "${build_packages[@]}" "${test_packages[@]}") ;;
    web) wanted_commands+=("${web_commands[@]}") ;;
    windows) wanted+=("${run_packages[@]}" "${windows_packages[@]}") ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done

# Elsewhere this script installs nothing: it names what to install, and the
# build says what it cannot find.
if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
  echo "install-deps.sh: no apt-get here, so nothing installed; the build needs a C++20 compiler, CMake, Ninja and SDL2 (dnf: gcc-c++ cmake ninja-build SDL2-devel; pacman: gcc cmake ninja sdl2; brew: cmake ninja sdl2)" >&2
  exit 0
fi

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
for entry in "${wanted_commands[@]}"; do
  command -v "${entry#*:}" >/dev/null || missing+=("${entry%%:*}")
done
[ ${#missing[@]} -eq 0 ] && exit 0
# A package named by two groups is installed once.
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
