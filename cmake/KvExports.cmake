# kv_check_exports(TARGET NAME...): after each link, the DLL's PE export
# table must name every NAME exactly as written. Hosts find these entries by
# GetProcAddress with the plain name, so a decorated export ("_Name",
# "Name@16") or a C++-mangled one would break them without any build error.
#
# The same file is the check itself when run with cmake -P.
if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
  endif()
  # The names follow the "[Ordinal/Name Pointer] Table" heading, one a line.
  string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${DLL} has no export name table")
  endif()
  string(SUBSTRING "${dump}" ${start} -1 table)
  foreach(name ${NAMES})
    if(NOT table MATCHES "\\] ${name}\n")
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
