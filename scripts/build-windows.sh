#!/usr/bin/env bash
# Builds the Windows program on Debian 12 and packs the zip a Windows user
# downloads: build/windows/rotary-envelope-<version>-windows-x64.zip.
# - installs what is missing (MinGW-w64, dpkg-dev; scripts/install-deps.sh);
# - builds SDL2 for Windows from Debian's source package of the SDL2 the Linux
#   program uses, once: again only when Debian's version changes;
# - draws the icon file with make-icon built for this machine;
# - cross-builds the program (CMake preset `windows`) and packs it (CPack).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows

sdl=$PWD/build/windows/sdl2
version=$(dpkg-query -W -f='${Version}' libsdl2-dev)
if [ "$(cat "$sdl/install/debian-version" 2>/dev/null)" != "$version" ]; then
  echo "Building SDL2 $version for Windows"
  rm -rf "$sdl"
  apt_state=$sdl/apt
  mkdir -p "$apt_state/sources.list.d" "$apt_state/lists/partial" "$apt_state/cache/archives/partial" "$sdl/source"
  # A deb-src entry for each archive the machine installs from, in a state
  # of its own: the machine's apt sources and lists stay as they are.
  apt-get indextargets --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
    awk '$1 == "deb" { print "deb-src", $2, $3, $4 }' | sort -u >"$apt_state/sources.list"
  apt_options=(-o Dir::Etc::sourcelist="$apt_state/sources.list" -o Dir::Etc::sourceparts="$apt_state/sources.list.d"
               -o Dir::State::Lists="$apt_state/lists" -o Dir::Cache="$apt_state/cache" -o APT::Sandbox::User=root)
  apt-get "${apt_options[@]}" update -qq
  (cd "$sdl/source" && apt-get "${apt_options[@]}" source -qq "libsdl2=$version")

  # The video and event subsystems alone, as a static library. SDL's own C
  # routines spare a hundred-odd configure checks of MinGW's C library.
  cmake -S "$(echo "$sdl"/source/libsdl2-*/)" -B "$sdl/build" -G Ninja \
    --toolchain "$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON -DSDL2_DISABLE_UNINSTALL=ON \
    -DSDL_LIBC=OFF \
    -DSDL_AUDIO=OFF -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_POWER=OFF \
    -DSDL_SENSOR=OFF -DSDL_FILE=OFF -DSDL_FILESYSTEM=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF \
    -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=OFF -DSDL_RENDER_D3D=OFF -DSDL_XINPUT=OFF \
    -DSDL_WASAPI=OFF -DSDL_DISKAUDIO=OFF -DSDL_DUMMYAUDIO=OFF -DSDL_DUMMYVIDEO=OFF -DSDL_OFFSCREEN=OFF >/dev/null
  cmake --build "$sdl/build" -j2
  cmake --install "$sdl/build" --prefix "$sdl/install" >/dev/null
  echo "$version" >"$sdl/install/debian-version"
fi

# The icon file is drawn on this machine, by the same code as the Linux icon.
cmake --preset app >/dev/null
cmake --build --preset app --target make-icon

cmake --preset windows
cmake --build --preset windows
cpack --config build/windows/CPackConfig.cmake -B build/windows
