# kv_add_test(NAME SOURCES files... [LIBS libs...])
# A GoogleTest program run by ctest under wine64. Its main (tests/common)
# starts GDI+ as a host would, and it links the real Kelvane.dll.
function(kv_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kv_test_main ${T_LIBS} Kelvane KvAfx gtest gdiplus)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# kv_add_bench(NAME SOURCES files... [LIBS libs...]): a benchmark program.
function(kv_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} Kelvane KvAfx gdiplus)
endfunction()
