# kv_pe_export_names(OBJDUMP DLL OUT): the names in DLL's PE export table, in
# the table's (sorted) order. Names only: an export by ordinal alone has none.
function(kv_pe_export_names objdump dll out)
  execute_process(COMMAND ${objdump} -p ${dll} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${objdump} -p ${dll} failed")
  endif()
  # The names follow the "[Ordinal/Name Pointer] Table" heading, one a line
  # ("\t[  12] Name"), up to the first empty line.
  string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
  if(start EQUAL -1)
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  string(SUBSTRING "${dump}" ${start} -1 table)
  string(FIND "${table}" "\n" heading_end)
  math(EXPR heading_end "${heading_end} + 1")
  string(SUBSTRING "${table}" ${heading_end} -1 table)
  string(FIND "${table}" "\n\n" end)
  string(SUBSTRING "${table}" 0 ${end} table)
  # The ordinal prefix goes; no brackets may stay, since CMake keeps a list's
  # separators inside brackets.
  string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] " "" table "${table}")
  string(REPLACE "\n" ";" entries "${table}")
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()
