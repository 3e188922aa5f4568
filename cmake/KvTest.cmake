# kv_add_test(NAME [GUI] SOURCES files... [LIBS libs...])
# A GoogleTest program run by ctest under wine64. Its main (tests/common)
# starts GDI+ as a host would, and it links the real Kelvane.dll.
# GUI suites place top-most windows, move the real cursor and read screen
# pixels, so they take the one display in turn; the others run side by side.
function(kv_mark_gui_test name)
  set_tests_properties(${name} PROPERTIES LABELS gui RESOURCE_LOCK display)
endfunction()

# The test runs through wine-gtest.sh, which also demands GoogleTest's summary:
# a program that silently did not run cannot pass.
function(kv_add_gtest_command name)
  add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-gtest.sh
           ${CMAKE_BINARY_DIR}/wineprefix $<TARGET_FILE:${name}>)
endfunction()

function(kv_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kv_test_main ${T_LIBS} Kelvane KvAfx gtest gdiplus)
  kv_add_gtest_command(${name})
  set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(T_GUI)
    kv_mark_gui_test(${name})
  endif()
endfunction()

# kv_add_bench(NAME SOURCES files... [LIBS libs...]): a benchmark program.
function(kv_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} Kelvane KvAfx gdiplus)
endfunction()
