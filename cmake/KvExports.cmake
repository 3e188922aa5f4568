# kv_check_exports(TARGET NAME...): after each link, the DLL's PE export
# table must name every NAME exactly as written. Hosts find these entries by
# GetProcAddress with the plain name, so a decorated export ("_Name",
# "Name@16") or a C++-mangled one would break them without any build error.
#
# The same file is the check itself when run with cmake -P.
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
  include(${CMAKE_CURRENT_LIST_DIR}/KvPeExports.cmake)
  kv_pe_export_names(${OBJDUMP} ${DLL} exported)
  foreach(name ${NAMES})
    if(NOT name IN_LIST exported)
      message(FATAL_ERROR "${DLL} does not export the undecorated name ${name}")
    endif()
  endforeach()
  return()
endif()

function(kv_check_exports target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:${target}>
            "-DNAMES=${ARGN}" -P ${CMAKE_SOURCE_DIR}/cmake/KvExports.cmake
    VERBATIM)
endfunction()
