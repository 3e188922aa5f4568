# Installs the build's SDK into WORK_DIR/prefix, configures and builds
# PROJECT_DIR against it in BUILD_TYPE with the toolchain file the SDK ships,
# as a host would, then runs PROGRAM (with ARGS) from
# the project's build folder through RUN (the Wine wrapper and its prefix).
# The program's folder gets the module's log file first; with HOST_LOG the
# log must then hold the example host's line.
cmake_minimum_required(VERSION 3.25)
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command}\nfailed (${failed}):\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
set(build ${WORK_DIR}/build)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${PROJECT_DIR} -B ${build} -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    -DCMAKE_TOOLCHAIN_FILE=${prefix}/lib/cmake/Kelvane/toolchain.cmake
    -DCMAKE_PREFIX_PATH=${prefix} ${CONFIGURE})
run(${CMAKE_COMMAND} --build ${build})

set(log ${build}/common/config/Kelvane/Kelvane.log)
file(TOUCH ${log})
run(${RUN} ${build}/${PROGRAM} ${ARGS})
message("${output}")
# A program that did not start at all (no 32-bit Wine) also exits 0, silently.
if(NOT HOST_LOG AND output STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} printed nothing: it did not run")
endif()

file(READ ${log} lines)
if(HOST_LOG AND NOT lines MATCHES "Host +\\] \\| Host started, configuration in [^\n]*\\\\common\\\\config\\\\Kelvane\\\\\r?\n")
  message(FATAL_ERROR "The module's log lacks the host's line:\n${lines}")
endif()
