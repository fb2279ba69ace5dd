# Third-party libraries, built from the sources scripts/setup.sh unpacked into .deps/.
set(TK_DEPS_DIR ${CMAKE_SOURCE_DIR}/.deps)
if(NOT EXISTS ${TK_DEPS_DIR}/hidapi/CMakeLists.txt OR NOT EXISTS ${TK_DEPS_DIR}/minizip/unzip.c
   OR NOT EXISTS ${TK_DEPS_DIR}/libsodium/src/libsodium/sodium/core.c)
  message(FATAL_ERROR "hidapi/minizip/libsodium sources are missing: run scripts/setup.sh first")
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

# libsodium, static: the portable C code only (no assembly, no CPU-specific variants), which is all
# Ed25519 and SHA-512 need. version.h is the one header its configure step would write.
set(TK_SODIUM_DIR ${TK_DEPS_DIR}/libsodium/src/libsodium)
set(TK_SODIUM_GEN ${CMAKE_BINARY_DIR}/third_party/libsodium/include)
set(VERSION 1.0.18)
set(SODIUM_LIBRARY_VERSION_MAJOR 10)
set(SODIUM_LIBRARY_VERSION_MINOR 3)
set(SODIUM_LIBRARY_MINIMAL_DEF "")
# It sits outside the source tree, so it names export.h by its full include path.
file(READ ${TK_SODIUM_DIR}/include/sodium/version.h.in sodium_version_h)
string(REPLACE "#include \"export.h\"" "#include <sodium/export.h>" sodium_version_h "${sodium_version_h}")
file(CONFIGURE OUTPUT ${TK_SODIUM_GEN}/sodium/version.h CONTENT "${sodium_version_h}" @ONLY)
file(GLOB_RECURSE sodium_srcs CONFIGURE_DEPENDS ${TK_SODIUM_DIR}/*.c)
add_library(sodium STATIC ${sodium_srcs})
target_include_directories(sodium SYSTEM BEFORE PUBLIC ${TK_SODIUM_GEN} ${TK_SODIUM_DIR}/include)
target_include_directories(sodium PRIVATE ${TK_SODIUM_GEN}/sodium ${TK_SODIUM_DIR}/include/sodium)
target_compile_definitions(sodium PUBLIC SODIUM_STATIC PRIVATE CONFIGURED=1 NATIVE_LITTLE_ENDIAN=1)
target_compile_options(sodium PRIVATE -w)
target_link_libraries(sodium PUBLIC advapi32)

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
