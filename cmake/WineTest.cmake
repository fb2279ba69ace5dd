# Test executables run under Wine through ctest.
#
# Tests that show windows or run the program run in lanes: a lane is a Wine prefix with its own
# wineserver (so its own named objects, processes, registry and temporary folder), its own X
# display and its own port for the staged program's update server. ctest hands out the lanes
# (the preset's resource spec, build/test-lanes.json) so one test holds a lane at a time while
# the lanes run side by side. Lane 1 is the prefix below and the display ctest runs on; the
# wine_prefix fixture copies it for the other lanes, starts a display for each and one wineserver
# per lane, and ends them after the run. Tests without windows share lane 1's prefix.
enable_testing()

set(TK_TEST_LANES 4 CACHE STRING "Wine prefixes with their own X display that GUI tests run in side by side")
# Lane k's staged program asks its update server on 127.0.0.1 at this base + k; another base lets
# two build trees run their tests at the same time. cmake/wine-lanes.sh reads it from the tests'
# environment, the staged program from its compile definition (StageUpdatePort.h).
set(TK_LANE_PORT_BASE 38516 CACHE STRING "Base of the staged program's update ports, one per test lane")
set(lanes "")
foreach(lane RANGE 1 ${TK_TEST_LANES})
  if(lanes)
    string(APPEND lanes ", ")
  endif()
  string(APPEND lanes "{ \"id\": \"${lane}\", \"slots\": 1 }")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/test-lanes.json
  CONTENT "{ \"version\": { \"major\": 1, \"minor\": 0 }, \"local\": [ { \"lanes\": [ ${lanes} ] } ] }\n")

add_test(NAME wine_prefix_start
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh start ${TK_WINEPREFIX} ${TK_TEST_LANES})
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine_prefix_stop
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh stop ${TK_WINEPREFIX} ${TK_TEST_LANES})
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

# Windows path of the artifacts folder (Wine maps Z: to /).
string(REPLACE "/" "\\" TK_ARTIFACTS_DIR_WIN "Z:${TK_ARTIFACTS_DIR}")

# Properties every test run under Wine shares.
function(tk_set_wine_test_properties test timeout gui)
  set_tests_properties(${test} PROPERTIES
    FIXTURES_REQUIRED wine
    # Under Wine a process ended from outside reports 0, so success also needs GoogleTest's own
    # summary and no failure line.
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
    TIMEOUT ${timeout}
    ENVIRONMENT "WINEPREFIX=${TK_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;TK_ARTIFACTS_DIR=${TK_ARTIFACTS_DIR_WIN};TK_LANE_PORT_BASE=${TK_LANE_PORT_BASE}")
  if(gui)
    # wine-run.sh moves the test into the lane ctest gave it; run without the lane spec, GUI tests
    # take turns on lane 1 instead.
    set_tests_properties(${test} PROPERTIES RESOURCE_GROUPS "lanes:1")
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "TK_GUI_TEST=1")
  endif()
endfunction()

# tk_add_test(NAME n SOURCES ... [LIBS ...] [GUI] [NO_GTEST_MAIN] [TIMEOUT s] [SPLIT part=filter ...])
#   Builds a GoogleTest executable into testbin/ and runs it under Wine; tests/support's image kit
#   (PNG writer, screen snapshots, artifacts folder) is linked into every one.
#   GUI: the test creates windows, runs the program or writes the shared sensor block: it runs in
#   a lane of its own.
#   SPLIT: the cases matching a GoogleTest filter run as their own ctest test n_part, n runs the
#   rest; for cases that mostly wait, so that lanes can share the waiting.
#   Tests find TK_ARTIFACTS_DIR (a Windows path) in their environment for screenshots and logs.
function(tk_add_test)
  cmake_parse_arguments(T "GUI;NO_GTEST_MAIN" "NAME;TIMEOUT" "SOURCES;LIBS;SPLIT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${T_NAME} PRIVATE tk_options gmock gtest ${T_LIBS} tk_test_images)
  else()
    target_link_libraries(${T_NAME} PRIVATE tk_options gmock gtest_main gtest ${T_LIBS} tk_test_images)
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TK_TEST_BIN_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(rest "")
  foreach(split ${T_SPLIT})
    string(REPLACE "=" ";" split "${split}")
    list(GET split 0 part)
    list(GET split 1 filter)
    add_test(NAME ${T_NAME}_${part} COMMAND ${T_NAME} --gtest_filter=${filter} WORKING_DIRECTORY ${TK_TEST_BIN_DIR})
    tk_set_wine_test_properties(${T_NAME}_${part} ${T_TIMEOUT} "${T_GUI}")
    list(APPEND rest ${filter})
  endforeach()
  if(rest)
    list(JOIN rest ":" rest)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_filter=-${rest} WORKING_DIRECTORY ${TK_TEST_BIN_DIR})
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${TK_TEST_BIN_DIR})
  endif()
  tk_set_wine_test_properties(${T_NAME} ${T_TIMEOUT} "${T_GUI}")
endfunction()
