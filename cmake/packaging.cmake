# The Debian package: `cpack -G DEB` in a build directory. Its dependencies
# come from dpkg-shlibdeps, so they name the SDL2 runtime the program links.
# In the Windows build, the zip a user downloads instead.
set(CPACK_PACKAGE_NAME rotary-envelope)
set(CPACK_PACKAGE_VENDOR "rotary-envelope developers")
set(CPACK_PACKAGE_CONTACT "rotary-envelope developers <maintainers@users.noreply.c-seed-767a84b2.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "An interactive geometry animation: the two-lobed housing curve of a rotary engine turns about a fixed origin, and its black trail leaves the rotor's profile as its inner boundary. Space bar and mouse steer it; escape or a double-click quits.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME rotary-envelope-${PROJECT_VERSION}-windows-x64)
  # Windows' "Extract all" makes the folder itself.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
