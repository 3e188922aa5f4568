# cmake -DBUILT=FILE -DCOMMITTED=FILE -DREFRESH=TARGET -P KvCommittedCopy.cmake
# Fails unless the committed copy of a file the build makes is that file, byte for byte, and
# says how to refresh it.
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${BUILT} ${COMMITTED}
                RESULT_VARIABLE kv_differ)
if(kv_differ)
  message(FATAL_ERROR "${COMMITTED} is not what the build makes (${BUILT}): refresh it with "
                      "`cmake --build <build>/x86_64 --target ${REFRESH}` and commit it")
endif()
message(STATUS "${COMMITTED} is what the build makes")
