# Third-party libraries, built from the sources scripts/setup.sh unpacked into .deps/.
set(TK_DEPS_DIR ${CMAKE_SOURCE_DIR}/.deps)
if(NOT EXISTS ${TK_DEPS_DIR}/hidapi/CMakeLists.txt OR NOT EXISTS ${TK_DEPS_DIR}/minizip/unzip.c)
  message(FATAL_ERROR "hidapi/minizip sources are missing: run scripts/setup.sh first")
endif()

# zlib: the static archive, so no zlib1.dll ships.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# hidapi.dll with its Windows backend. The shared-library switch stays inside this function.
function(tk_add_hidapi)
  set(BUILD_SHARED_LIBS ON)
  set(HIDAPI_WITH_TESTS OFF)
  set(HIDAPI_BUILD_HIDTEST OFF)
  add_subdirectory(${TK_DEPS_DIR}/hidapi ${CMAKE_BINARY_DIR}/third_party/hidapi EXCLUDE_FROM_ALL)
endfunction()
tk_add_hidapi()
set_target_properties(hidapi_winapi PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${TK_BIN_DIR}
  C_VISIBILITY_PRESET default)
target_compile_options(hidapi_winapi PRIVATE -w)

# hidapi's declarations only: code that calls hidapi links the real DLL (the product)
# or the display simulator (tests) at the final link.
add_library(hidapi_headers INTERFACE)
target_include_directories(hidapi_headers SYSTEM INTERFACE ${TK_DEPS_DIR}/hidapi/hidapi)

# minizip's zip reader, static.
add_library(minizip STATIC ${TK_DEPS_DIR}/minizip/unzip.c ${TK_DEPS_DIR}/minizip/ioapi.c
  ${TK_DEPS_DIR}/minizip/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${TK_DEPS_DIR}/minizip)
target_compile_definitions(minizip PRIVATE NOCRYPT NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC ZLIB::ZLIB)

# GoogleTest from Debian's sources, built with the same toolchain.
if(TK_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
endif()
