# Test executables run under Wine through ctest. One wineserver serves the whole run:
# the wine_prefix fixture starts it (creating the prefix the first time) and ends it.
enable_testing()

add_test(NAME wine_prefix_start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh start ${TK_WINEPREFIX})
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine_prefix_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh stop ${TK_WINEPREFIX})
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

# Windows path of the artifacts folder (Wine maps Z: to /).
string(REPLACE "/" "\\" TK_ARTIFACTS_DIR_WIN "Z:${TK_ARTIFACTS_DIR}")

# tk_add_test(NAME n SOURCES ... [LIBS ...] [GUI] [NO_GTEST_MAIN] [TIMEOUT s])
#   Builds a GoogleTest executable into testbin/ and runs it under Wine; tests/support's image kit
#   (PNG writer, screen snapshots, artifacts folder) is linked into every one.
#   GUI: the test creates windows; such tests never run at the same time as each other.
#   Tests find TK_ARTIFACTS_DIR (a Windows path) in their environment for screenshots and logs.
function(tk_add_test)
  cmake_parse_arguments(T "GUI;NO_GTEST_MAIN" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${T_NAME} PRIVATE tk_options gmock gtest ${T_LIBS} tk_test_images)
  else()
    target_link_libraries(${T_NAME} PRIVATE tk_options gmock gtest_main gtest ${T_LIBS} tk_test_images)
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TK_TEST_BIN_DIR})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${TK_TEST_BIN_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    FIXTURES_REQUIRED wine
    # Under Wine a process ended from outside reports 0, so success also needs GoogleTest's own
    # summary and no failure line.
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "WINEPREFIX=${TK_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;TK_ARTIFACTS_DIR=${TK_ARTIFACTS_DIR_WIN}")
  if(T_GUI)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK x11_display)
  endif()
endfunction()
