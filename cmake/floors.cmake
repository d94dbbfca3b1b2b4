# The floors of the house. Each folder is a static library that links only the floors below it,
# and a check at build time refuses an #include of a program header from a floor that it does not
# stand on: a reference upward, or sideways to a neighbour on the same level, fails the build
# instead of quietly tying the floors together.
#
#   zahlenlupe_floor(TARGET FOLDER SOURCES file.cpp ... [BELOW floor ...] [LINKS library ...])
#
# BELOW names the floor targets this one stands on (their own floors come with them); LINKS the
# outside libraries it uses.
set(ZAHLENLUPE_FLOOR_CHECK ${CMAKE_CURRENT_LIST_DIR}/checkfloor.cmake)

function(zahlenlupe_floor target folder)
  cmake_parse_arguments(PARSE_ARGV 2 floor "" "" "SOURCES;BELOW;LINKS")
  add_library(${target} STATIC ${floor_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${floor_BELOW} ${floor_LINKS})

  set(allowed ${folder})
  foreach(below IN LISTS floor_BELOW)
    get_property(folders GLOBAL PROPERTY zahlenlupe_floor_folders_${below})
    list(APPEND allowed ${folders})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY zahlenlupe_floor_folders_${target} ${allowed})

  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/floors/${target}.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DFOLDER=${folder}" "-DALLOWED=${allowed}" "-DFILES=${files}"
            "-DSTAMP=${stamp}" -P ${ZAHLENLUPE_FLOOR_CHECK}
    DEPENDS ${files} ${ZAHLENLUPE_FLOOR_CHECK}
    COMMENT "Checking the includes of the floor ${folder}/"
    VERBATIM)
  add_custom_target(${target}_floor DEPENDS ${stamp})
  add_dependencies(${target} ${target}_floor)
endfunction()
