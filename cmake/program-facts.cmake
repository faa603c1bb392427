# The facts that the tests driving the program from outside (the end-to-end
# and browser tests) need about it: its caption and its user space, read
# from the headers that define them and written to program-facts.json in the
# build folder, so that those tests hold no copies.
set(caption_header ${PROJECT_SOURCE_DIR}/src/animation/main_window.h)
set(user_space_header ${PROJECT_SOURCE_DIR}/src/canvas/user_coordinates.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${caption_header} ${user_space_header})

# The caption: its string literals, joined as the compiler joins them.
file(READ ${caption_header} text)
if(NOT text MATCHES "caption =([^;]*);")
  message(FATAL_ERROR "no caption in ${caption_header}")
endif()
string(REGEX MATCHALL "\"[^\"\\\\]*\"" literals "${CMAKE_MATCH_1}")
string(REPLACE "\";\"" "" ROTARY_FACT_caption "${literals}")

file(READ ${user_space_header} text)
foreach(name left top unit_x_twips unit_y_twips twips_per_pixel client_width client_height)
  if(NOT text MATCHES "constexpr [a-z]+ ${name} = (-?[0-9.]+)f?;")
    message(FATAL_ERROR "no ${name} in ${user_space_header}")
  endif()
  set(ROTARY_FACT_${name} ${CMAKE_MATCH_1})
endforeach()

set(ROTARY_PROGRAM_FACTS ${PROJECT_BINARY_DIR}/program-facts.json)
file(CONFIGURE OUTPUT ${ROTARY_PROGRAM_FACTS} @ONLY CONTENT [[{
  "caption": @ROTARY_FACT_caption@,
  "user_space": {"left": @ROTARY_FACT_left@, "top": @ROTARY_FACT_top@,
                 "unit_x_twips": @ROTARY_FACT_unit_x_twips@, "unit_y_twips": @ROTARY_FACT_unit_y_twips@,
                 "twips_per_pixel": @ROTARY_FACT_twips_per_pixel@,
                 "client_width": @ROTARY_FACT_client_width@, "client_height": @ROTARY_FACT_client_height@}
}
]])
