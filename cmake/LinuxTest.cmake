# Native tests of the Linux edition, run by ctest directly (no Wine, no lanes).
enable_testing()

# tk_add_linux_test(NAME n SOURCES ... [LIBS ...] [SPLIT part=filter ...])
#   Builds a GoogleTest executable into bin/ and runs it; the Linux test kit (tests/linux: scratch
#   folders, fake sysfs trees, the daemon rig) and the edition's library are linked into every one.
#   SPLIT: the cases matching a GoogleTest filter run as their own ctest test n_part, n runs the
#   rest; for cases that mostly wait, so that ctest runs the waits side by side.
function(tk_add_linux_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;SPLIT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE tk_linux_test_kit kelvane_linux GTest::gtest_main ${T_LIBS})
  set(rest "")
  foreach(split ${T_SPLIT})
    string(REPLACE "=" ";" split "${split}")
    list(GET split 0 part)
    list(GET split 1 filter)
    add_test(NAME ${T_NAME}_${part} COMMAND ${T_NAME} --gtest_filter=${filter})
    list(APPEND rest ${filter})
  endforeach()
  if(rest)
    list(JOIN rest ":" rest)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_filter=-${rest})
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
endfunction()
