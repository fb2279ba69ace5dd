# Native Linux edition: daemon, command-line tool, service files and the Debian package.
# Included by the top CMakeLists.txt instead of the Windows build.
option(TK_BUILD_TESTS "Build the tests and the test tools" ON)

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The simulated hidapi lands apart from everything else: only runs that ask for it load it.
set(TK_SIM_LIB_DIR ${CMAKE_BINARY_DIR}/simlib)

find_package(PkgConfig REQUIRED)
pkg_check_modules(HIDAPI_HIDRAW REQUIRED IMPORTED_TARGET hidapi-hidraw)
pkg_check_modules(LIBUDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(LIBSYSTEMD REQUIRED libsystemd)

add_library(tk_linux_options INTERFACE)
option(TK_WARNINGS_AS_ERRORS "A warning in our own code fails the build" ON)
target_compile_options(tk_linux_options INTERFACE -Wall -Wextra $<$<BOOL:${TK_WARNINGS_AS_ERRORS}>:-Werror>)
target_include_directories(tk_linux_options INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)

# The version of project() is the only one: the programs print it from the header the Windows
# program's version comes from too.
configure_file(app/res/ProgramVersion.h.in ${CMAKE_BINARY_DIR}/generated/ProgramVersion.h @ONLY)

add_subdirectory(linux)
if(TK_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(cmake/LinuxTest.cmake)
  add_subdirectory(tools/simdisplay)
  add_subdirectory(tools/hidrawsim)
  add_subdirectory(tests/linux)
endif()
