# Compares the exported names of the DLLs in BIN_DIR with their lists in
# LIST_DIR (<name>.exports, one name a line, sorted) and fails, naming them,
# when one appeared or disappeared: hosts bind to exactly these names, so a
# change must be deliberate and its list changed with it. MODE=write rewrites
# the lists from the DLLs instead.
#   cmake -DOBJDUMP=... -DBIN_DIR=build/x86_64/bin -DLIST_DIR=abi/x86_64
#         "-DDLLS=Kelvane;KvAfx" [-DMODE=write] -P cmake/KvExportList.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/KvPeExports.cmake)

set(report "")
foreach(name IN LISTS DLLS)
  set(dll ${BIN_DIR}/${name}.dll)
  set(list_file ${LIST_DIR}/${name}.exports)
  if(NOT EXISTS ${dll})
    message(FATAL_ERROR "${dll} does not exist: build this flavour first")
  endif()
  kv_pe_export_names(${OBJDUMP} ${dll} exported)
  list(SORT exported)

  if(MODE STREQUAL "write")
    list(JOIN exported "\n" text)
    file(WRITE ${list_file} "${text}\n")
    list(LENGTH exported count)
    message(STATUS "${list_file}: ${count} names")
    continue()
  endif()

  if(NOT EXISTS ${list_file})
    string(APPEND report "\n${name}.dll: no list ${list_file}\n")
    continue()
  endif()
  file(STRINGS ${list_file} listed)
  set(appeared ${exported})
  set(disappeared ${listed})
  if(listed)
    list(REMOVE_ITEM appeared ${listed})
  endif()
  if(exported)
    list(REMOVE_ITEM disappeared ${exported})
  endif()
  if(appeared OR disappeared)
    string(APPEND report "\n${name}.dll against ${list_file}:\n")
    foreach(entry IN LISTS appeared)
      string(APPEND report "  + ${entry}\n")
    endforeach()
    foreach(entry IN LISTS disappeared)
      string(APPEND report "  - ${entry}\n")
    endforeach()
  endif()
endforeach()

if(report)
  message(FATAL_ERROR "Exports changed (+ new, - gone):${report}"
                      "Change the exports back, or rewrite the lists (MODE=write) on purpose.")
endif()
