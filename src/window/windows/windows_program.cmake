# The Windows program: one executable, SDL2 and the C++ run-time libraries
# linked in, with its icon, version information and manifest as resources;
# and the text file that goes beside it in the zip.

# The icon file is drawn by make-icon built for the build machine, from the
# same drawing as the icon on Linux.
set(ROTARY_MAKE_ICON "" CACHE FILEPATH "make-icon built for the build machine")
if(NOT EXISTS "${ROTARY_MAKE_ICON}")
  message(FATAL_ERROR "ROTARY_MAKE_ICON: give make-icon built for the build machine"
                      " (scripts/build-windows.sh builds it)")
endif()
enable_language(RC)
set(ROTARY_ICON_FILE ${CMAKE_CURRENT_BINARY_DIR}/rotary-envelope.ico)
set(ROTARY_MANIFEST_FILE ${CMAKE_CURRENT_LIST_DIR}/rotary-envelope.manifest)
add_custom_command(OUTPUT ${ROTARY_ICON_FILE} COMMAND ${ROTARY_MAKE_ICON} ${ROTARY_ICON_FILE}
                   DEPENDS ${ROTARY_MAKE_ICON} VERBATIM)
configure_file(${CMAKE_CURRENT_LIST_DIR}/rotary-envelope.rc.in rotary-envelope.rc @ONLY)
target_sources(rotary-envelope PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/rotary-envelope.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/rotary-envelope.rc
                            PROPERTIES OBJECT_DEPENDS "${ROTARY_ICON_FILE};${ROTARY_MANIFEST_FILE}")
# For the test, which compares the window's icon with it.
set_target_properties(rotary-envelope PROPERTIES ROTARY_ICON_FILE ${ROTARY_ICON_FILE})

# No DLLs to ship beside it.
target_link_options(rotary-envelope PRIVATE -static)

# The controls, the program's licence and the licence notices of what is
# linked in; SDL2's licence as its build installed it.
file(READ ${ROTARY_LICENSE_FILE} ROTARY_LICENCE)
file(READ ${SDL2_PREFIX}/share/licenses/SDL2/LICENSE.txt ROTARY_SDL2_LICENCE)
foreach(licence ROTARY_LICENCE ROTARY_SDL2_LICENCE)
  string(REPLACE "\n" "\r\n" ${licence} "${${licence}}")  # as the rest of the file
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/windows/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS rotary-envelope RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)
