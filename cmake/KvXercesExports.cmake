# kv_export_xerces(TARGET RULES PROBE_SOURCE): TARGET links the static
# Xerces-C++ library and exports only part of it, through a definition file
# written at build time from
#   RULES          xml/XercesExports.txt: demangled name prefixes, one a line
#   PROBE_SOURCE   a file that includes every public header: whatever Xerces
#                  symbol their inline code refers to is exported too, so a
#                  host that includes them always links.
# Mangled names differ per flavour (size_t, leading underscores), so the file
# is made from this flavour's library and never kept in the repository; the
# export lists in abi/ record the result.
#
# The same file writes the definition file when run with cmake -P, given
# NM, CXXFILT, LIB (the Xerces archive), PROBE (object file), RULES,
# UNDERSCORE (1 where C symbols carry a leading underscore) and OUT.
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)

  function(run_tool out)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text ERROR_VARIABLE errors
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${ARGN} failed:\n${errors}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
  endfunction()

  # One line per defined global symbol: "<mangled> <type> x<mangled>". The
  # first copy is demangled below; the second, behind an "x", stays as it is.
  run_tool(defined ${NM} -g --defined-only ${LIB})
  string(REGEX REPLACE "[0-9a-f]+ ([TDBR]) ([^\n]+)" "\\2 \\1 x\\2" defined "${defined}")
  get_filename_component(work ${OUT} DIRECTORY)
  file(WRITE ${work}/xerces_symbols.txt "${defined}")
  run_tool(demangled ${CXXFILT} INPUT_FILE ${work}/xerces_symbols.txt)
  # The version namespace (xercesc_3_2) is written as "xercesc" in the rules.
  string(REGEX REPLACE "xercesc_[0-9]+_[0-9]+::" "xercesc::" demangled "${demangled}")
  string(REPLACE ";" "" demangled "${demangled}")
  string(REPLACE "\n" ";" symbols "${demangled}")
  list(FILTER symbols INCLUDE REGEX " [TDBR] x[^ ]+$")
  list(REMOVE_DUPLICATES symbols)

  file(STRINGS ${RULES} rules REGEX "^[^#]")
  set(alternatives "")
  foreach(rule IN LISTS rules)
    string(REGEX REPLACE "([][.*+?^$()|\\\\])" "\\\\\\1" rule "${rule}")
    list(APPEND alternatives "${rule}")
  endforeach()
  list(JOIN alternatives "|" pattern)
  set(selected ${symbols})
  list(FILTER selected INCLUDE REGEX "^(${pattern})")

  run_tool(probe_refs ${NM} -u ${PROBE})
  string(REGEX MATCHALL "[A-Za-z0-9_]+\n" probe_refs "${probe_refs}")
  foreach(ref IN LISTS probe_refs)
    string(STRIP "${ref}" ref)
    set(match ${symbols})
    list(FILTER match INCLUDE REGEX " x${ref}$")
    list(APPEND selected ${match})
  endforeach()
  list(REMOVE_DUPLICATES selected)

  set(def "EXPORTS\n")
  foreach(entry IN LISTS selected)
    string(REGEX MATCH " ([TDBR]) x([^ ]+)$" unused "${entry}")
    set(type ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    # Only the one prefix the 32-bit ABI adds: CMake would take "^_" again
    # at each new start and strip the mangled name's own underscore too.
    if(UNDERSCORE)
      string(SUBSTRING "${name}" 1 -1 name)
    endif()
    # Data must be imported through its pointer, never called through a thunk.
    if(type STREQUAL "T")
      string(APPEND def "    ${name}\n")
    else()
      string(APPEND def "    ${name} DATA\n")
    endif()
  endforeach()
  file(WRITE ${OUT}.new "${def}")
  file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
  list(LENGTH selected count)
  message(STATUS "${OUT}: ${count} Xerces-C++ exports")
  return()
endif()

function(kv_export_xerces target rules probe_source)
  # The probe is compiled as a host compiles: the target's public usage only.
  add_library(${target}_xerces_probe OBJECT ${probe_source})
  target_link_libraries(${target}_xerces_probe PRIVATE KvAfx xerces)
  # Warnings of the headers matter in the SDK consumer test, not here.
  target_compile_options(${target}_xerces_probe PRIVATE -w)

  string(REGEX REPLACE "nm$" "c++filt" cxxfilt ${CMAKE_NM})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(underscore 1)
  else()
    set(underscore 0)
  endif()
  get_target_property(lib xerces_static IMPORTED_LOCATION)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}_xerces.def)
  add_custom_command(OUTPUT ${def}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DCXXFILT=${cxxfilt} -DLIB=${lib}
            "-DPROBE=$<TARGET_OBJECTS:${target}_xerces_probe>" -DRULES=${rules}
            -DUNDERSCORE=${underscore} -DOUT=${def}
            -P ${CMAKE_SOURCE_DIR}/cmake/KvXercesExports.cmake
    DEPENDS ${rules} ${lib} ${CMAKE_SOURCE_DIR}/cmake/KvXercesExports.cmake
            ${target}_xerces_probe $<TARGET_OBJECTS:${target}_xerces_probe>
    VERBATIM)
  target_sources(${target} PRIVATE ${def})
endfunction()
