cmake_minimum_required(VERSION 3.25)
# Fails when a file of FOLDER includes a program header from a folder not in ALLOWED; writes STAMP
# when every include is in order. Run by zahlenlupe_floor (cmake/floors.cmake) at build time.
set(wrong "")
foreach(file IN LISTS FILES)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/.*" "\\1" used "${line}")
    if(NOT used IN_LIST ALLOWED)
      string(APPEND wrong "\n  ${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(wrong)
  string(REPLACE ";" ", " floors "${ALLOWED}")
  message(FATAL_ERROR "${FOLDER}/ may include only from ${floors}/; these reach another floor:"
                      "${wrong}")
endif()
file(WRITE ${STAMP} "")
