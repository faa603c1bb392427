# The Debian package: `cpack -G DEB` in a build directory. Its dependencies
# come from dpkg-shlibdeps, so they name the SDL2 runtime the program links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rotary-envelope)
set(CPACK_PACKAGE_VENDOR "rotary-envelope developers")
set(CPACK_PACKAGE_CONTACT "rotary-envelope developers <maintainers@users.noreply.c-seed-767a84b2.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "An interactive geometry animation: the two-lobed housing curve of a rotary engine turns about a fixed origin, and its black trail leaves the rotor's profile as its inner boundary. Space bar and mouse steer it; escape or a double-click quits.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
