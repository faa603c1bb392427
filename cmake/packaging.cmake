# The Debian package: `cpack -G DEB` in a build directory. Its dependencies
# come from dpkg-shlibdeps, so they name the SDL2 runtime the program links.
# In the Windows build, the zip a user downloads instead.
set(CPACK_PACKAGE_NAME rotary-envelope)
set(CPACK_PACKAGE_VENDOR "rotary-envelope developers")
set(CPACK_PACKAGE_CONTACT "rotary-envelope developers <maintainers@users.noreply.c-seed-767a84b2.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "An interactive geometry animation: the two-lobed housing curve of a rotary\nengine turns about a fixed origin, and its black trail leaves the rotor's\nprofile as its inner boundary. Space bar and mouse steer it; escape or a\ndouble-click quits.")
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

# What Debian asks of every package: its copyright and licence, machine-
# readable (the licence's text below its copyright line, as paragraphs of
# lines indented by one space), and a changelog, compressed.
file(READ ${ROTARY_LICENSE_FILE} licence)
string(REGEX REPLACE "^.*\nCopyright[^\n]*\n\n" "" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " ROTARY_LICENCE_PARAGRAPHS " ${licence}")
string(REGEX REPLACE "^Copyright \\(c\\) " "" ROTARY_COPYRIGHT_HOLDERS "${ROTARY_COPYRIGHT}")
configure_file(${PROJECT_SOURCE_DIR}/data/debian/copyright.in debian/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in debian/changelog @ONLY)
add_custom_command(OUTPUT debian/changelog.gz
                   COMMAND gzip -9n -c debian/changelog > debian/changelog.gz
                   DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS debian/changelog.gz)
include(GNUInstallDirs)
install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
