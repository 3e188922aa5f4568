# The SDK that `cmake --install` lays out and CPack zips:
#   include/   the public headers (framework, module, the Xerces API they use)
#   lib/       import libraries, the regular-DLL start-up object, CMake package
#   bin/       the DLLs, the companions, the tools and the configuration folder
include(CMakePackageConfigHelpers)

set(kv_sdk_dlls Kelvane KvAfx linkBroker DlgNotice HubExchange)
set(kv_sdk_tools kvskin kvpost kvhub)

# Hosts link these three; linkBroker and DlgNotice are only loaded by Kelvane.
install(TARGETS Kelvane KvAfx HubExchange RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
install(TARGETS linkBroker DlgNotice RUNTIME DESTINATION bin
        ARCHIVE DESTINATION lib COMPONENT unused EXCLUDE_FROM_ALL)
install(TARGETS ${kv_sdk_tools} RUNTIME DESTINATION bin)
# A host's own regular DLL links this object for its module state and start-up;
# an archive would drop it, since nothing refers to its DllMain.
install(FILES $<TARGET_OBJECTS:KvAfxRegularDll> DESTINATION lib RENAME KvAfxRegularDll.obj)

# The configuration folder holds what the skin script drew, never a log or
# other files that tests leave in the build's copy.
set(kv_config_build ${CMAKE_BINARY_DIR}/bin/common/config/Kelvane)
install(FILES ${kv_config_build}/Kelvane.xml DESTINATION bin/common/config/Kelvane)
install(DIRECTORY ${kv_config_build}/default DESTINATION bin/common/config/Kelvane)

# Public headers: these entry headers and whatever they include from the
# project or Xerces (cmake/KvSdkHeaders.cmake asks the compiler), so a header
# that a public one needs always comes along and a private one never does.
set(kv_sdk_headers
    afx.h afxwin.h afxcmn.h
    runtime/ModuleApp.h runtime/Log.h runtime/Helpers.h runtime/StringHelpers.h
    xml/XmlDocument.h xml/PositionedDocument.h
    net/HttpUpload.h net/InfoUpDown.h
    skin/XMLParseBase.h skin/BmpButton.h skin/Label.h skin/DrawUtil.h
    res/resource.h
    companions/HubExchange/HubExchange.h)
# The dialog classes join the list as they arrive.
foreach(header skin/CommonDlg.h skin/CommonWndLessDlg.h skin/ContainerDlg.h)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${header})
    list(APPEND kv_sdk_headers ${header})
  endif()
endforeach()

# What a host compiles with: the build's own definitions and Xerces' static define.
get_directory_property(kv_sdk_definitions DIRECTORY ${CMAKE_SOURCE_DIR} COMPILE_DEFINITIONS)
get_target_property(kv_xerces_definitions xerces INTERFACE_COMPILE_DEFINITIONS)

set(kv_sdk_tu_text "")
foreach(header IN LISTS kv_sdk_headers)
  string(APPEND kv_sdk_tu_text "#include \"${header}\"\n")
endforeach()
set(kv_sdk_tu ${CMAKE_BINARY_DIR}/sdk/public_headers.cpp)
file(CONFIGURE OUTPUT ${kv_sdk_tu} CONTENT "${kv_sdk_tu_text}")

set(kv_sdk_flags -std=c++${CMAKE_CXX_STANDARD})
foreach(def IN LISTS kv_sdk_definitions kv_xerces_definitions)
  list(APPEND kv_sdk_flags -D${def})
endforeach()
install(CODE "
  execute_process(COMMAND \"${CMAKE_COMMAND}\"
      \"-DCXX=${CMAKE_CXX_COMPILER}\" \"-DFLAGS=${kv_sdk_flags}\" \"-DTU=${kv_sdk_tu}\"
      \"-DSOURCE_DIR=${CMAKE_SOURCE_DIR}\" \"-DBINARY_DIR=${CMAKE_BINARY_DIR}\"
      \"-DFRAMEWORK_INCLUDE=${CMAKE_SOURCE_DIR}/framework/include\"
      \"-DXERCES_SOURCE_INCLUDE=${XERCES_SOURCE_DIR}/src\"
      \"-DXERCES_BUILD_INCLUDE=${XERCES_BUILD_DIR}/src\"
      \"-DDEST=\${CMAKE_INSTALL_PREFIX}/include\"
      -P \"${CMAKE_SOURCE_DIR}/cmake/KvSdkHeaders.cmake\"
    RESULT_VARIABLE kv_failed)
  if(kv_failed)
    message(FATAL_ERROR \"Installing the public headers failed\")
  endif()")

# The libraries a host links besides the DLLs, taken from what the build's
# targets make public, so the package follows the build.
function(kv_sdk_interface_libraries target out)
  get_target_property(libs ${target} INTERFACE_LINK_LIBRARIES)
  set(result "")
  foreach(lib IN LISTS libs)
    if(lib STREQUAL "KvAfx")
      list(APPEND result Kelvane::KvAfx)
    elseif(lib STREQUAL "xerces")
      # Its headers are installed and its define is in the package's definitions.
    elseif(TARGET ${lib} OR lib MATCHES "^[$-]")
      message(FATAL_ERROR "${target} makes ${lib} public: give the SDK package a "
                          "counterpart for it in cmake/KvInstall.cmake")
    else()
      list(APPEND result ${lib})
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()
kv_sdk_interface_libraries(KvAfx KV_SDK_KVAFX_LIBS)
kv_sdk_interface_libraries(Kelvane KV_SDK_KELVANE_LIBS)
set(KV_SDK_DEFINITIONS ${kv_sdk_definitions})
set(KV_SDK_XERCES_DEFINITIONS ${kv_xerces_definitions})
set(KV_SDK_CXX_STANDARD ${CMAKE_CXX_STANDARD})
set(KV_SDK_DLLS "")
foreach(dll IN LISTS kv_sdk_dlls)
  list(APPEND KV_SDK_DLLS ${dll}${CMAKE_SHARED_LIBRARY_SUFFIX})
endforeach()

configure_file(${CMAKE_SOURCE_DIR}/cmake/KelvaneConfig.cmake.in
               ${CMAKE_BINARY_DIR}/sdk/KelvaneConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/sdk/KelvaneConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/sdk/KelvaneConfig.cmake
              ${CMAKE_BINARY_DIR}/sdk/KelvaneConfigVersion.cmake
        DESTINATION lib/cmake/Kelvane)
# A host configures with the compilers this SDK was built with:
#   -DCMAKE_TOOLCHAIN_FILE=<prefix>/lib/cmake/Kelvane/toolchain.cmake
install(FILES ${CMAKE_SOURCE_DIR}/cmake/mingw-${CMAKE_SYSTEM_PROCESSOR}.cmake
        DESTINATION lib/cmake/Kelvane RENAME toolchain.cmake)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/mingw-common.cmake DESTINATION lib/cmake/Kelvane)

# scripts/package.sh: one zip per flavour, Kelvane-<version>-win32/win64.zip.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_SYSTEM_NAME win32)
endif()
set(CPACK_PACKAGE_FILE_NAME Kelvane-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
# The build keeps debugging information; what is shipped does not.
set(CPACK_STRIP_FILES ON)
include(CPack)
