# Installs the public headers of the SDK: the entry headers named in
# KvInstall.cmake and every project or Xerces header they include, found by
# the compiler itself (-M), so that a header pulled in by a public one always
# comes along and nothing else does. Run at install time by cmake -P with:
#   CXX, FLAGS (definitions, standard), TU (a file that includes the entry
#   headers), SOURCE_DIR, BINARY_DIR, FRAMEWORK_INCLUDE, XERCES_SOURCE_INCLUDE,
#   XERCES_BUILD_INCLUDE, DEST (the include folder, DESTDIR not yet applied).
cmake_minimum_required(VERSION 3.25)
execute_process(
  COMMAND ${CXX} ${FLAGS} -I${SOURCE_DIR} -I${FRAMEWORK_INCLUDE} -I${XERCES_SOURCE_INCLUDE}
          -I${XERCES_BUILD_INCLUDE} -M ${TU}
  OUTPUT_VARIABLE deps ERROR_VARIABLE errors RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Cannot list the public headers' includes:\n${errors}")
endif()

# "tu.o: tu.cpp a.h \<newline> b.h ...": one path per word after the colon.
string(REGEX REPLACE "^[^:]*:" "" deps "${deps}")
string(REPLACE "\\\n" " " deps "${deps}")
string(REGEX REPLACE "[ \t\r\n]+" ";" deps "${deps}")
file(REAL_PATH "${BINARY_DIR}" BINARY_DIR)

# Order matters: the build folder and the framework's include folder lie
# inside the source folder.
set(roots "${XERCES_BUILD_INCLUDE}" "${XERCES_SOURCE_INCLUDE}" "${FRAMEWORK_INCLUDE}"
          "${SOURCE_DIR}")
set(count 0)
foreach(dep IN LISTS deps)
  if(dep STREQUAL "" OR dep STREQUAL TU)
    continue()
  endif()
  file(REAL_PATH "${dep}" dep)
  string(FIND "${dep}" "${BINARY_DIR}/" in_build)
  if(in_build EQUAL 0)
    # A generated header would exist only in this build folder.
    message(FATAL_ERROR "A public header includes the generated file ${dep}")
  endif()
  foreach(root IN LISTS roots)
    file(REAL_PATH "${root}" root)
    string(FIND "${dep}" "${root}/" at)
    if(at EQUAL 0)
      file(RELATIVE_PATH rel "${root}" "${dep}")
      get_filename_component(rel_dir "${rel}" DIRECTORY)
      file(INSTALL "${dep}" DESTINATION "${DEST}/${rel_dir}" MESSAGE_LAZY)
      math(EXPR count "${count} + 1")
      break()
    endif()
  endforeach()
  # Anything else is a compiler or system header that every host has.
endforeach()
message(STATUS "Installed ${count} public headers into ${DEST}")
