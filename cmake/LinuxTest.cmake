# Native tests of the Linux edition, run by ctest directly (no Wine, no lanes).
enable_testing()

# tk_add_linux_test(NAME n SOURCES ... [LIBS ...])
#   Builds a GoogleTest executable into bin/ and runs it; the Linux test kit (tests/linux: scratch
#   folders, fake sysfs trees, the daemon rig) and the edition's library are linked into every one.
function(tk_add_linux_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE tk_linux_test_kit kelvane_linux GTest::gtest_main ${T_LIBS})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
endfunction()
