# Precompiled headers. Much of a translation unit's compile time here goes to <windows.h>,
# <gdiplus.h> and GoogleTest. Two header sets are built once each and reused by every target of
# ours: the Win32 and GDI+ headers for our code, and those with GoogleTest for the tests.
# A source of our code gets the precompiled set only when it reaches a Win32 header through its
# own includes: pure rules keep compiling without <windows.h>, as the Linux edition needs them to.
# The standard library stays out of our code's set: precompiled, GCC 12 no longer keeps its inline
# code quiet as system headers, and reports false bounds errors in std::wstring's copies through
# wmemcpy (-Warray-bounds, -Wstringop-overread) wherever one is built from a short literal. The
# tests' set cannot leave it out (GoogleTest includes it), so the tests do without those two.

set(TK_PCH_WIN32_HEADERS <winsock2.h> <windows.h> <objidl.h> <gdiplus.h>)
# Win32 headers whose inclusion marks a source as Win32 code.
set(TK_PCH_WIN32_INCLUDE "#include <(windows|winsock2|ws2tcpip|objidl|gdiplus|shlobj|shellapi|tlhelp32|wininet|commctrl|taskschd)\\.h>")

file(WRITE ${CMAKE_BINARY_DIR}/generated/PchAnchor.cpp "// Owner of a precompiled header set.\n")

# tk_pch_owner(name [LIBS ...] [HEADERS ...]): the target that builds one header set.
function(tk_pch_owner name)
  cmake_parse_arguments(P "" "" "LIBS;HEADERS" ${ARGN})
  add_library(${name} OBJECT ${CMAKE_BINARY_DIR}/generated/PchAnchor.cpp)
  target_link_libraries(${name} PRIVATE tk_options ${P_LIBS})
  target_precompile_headers(${name} PRIVATE ${TK_PCH_WIN32_HEADERS} ${P_HEADERS})
endfunction()

# True in out when file, or a project header it includes (at any depth), includes a Win32 header.
function(tk_reaches_win32 file out)
  get_property(known GLOBAL PROPERTY "TK_WIN32_REACH:${file}" SET)
  if(known)
    get_property(answer GLOBAL PROPERTY "TK_WIN32_REACH:${file}")
    set(${out} ${answer} PARENT_SCOPE)
    return()
  endif()
  set_property(GLOBAL PROPERTY "TK_WIN32_REACH:${file}" FALSE) # include cycles end here
  set(answer FALSE)
  file(STRINGS ${file} includes REGEX "^#include [<\"]")
  foreach(line ${includes})
    if(line MATCHES "${TK_PCH_WIN32_INCLUDE}")
      set(answer TRUE)
      break()
    elseif(line MATCHES "^#include \"([^\"]+)\"")
      get_filename_component(here ${file} DIRECTORY)
      foreach(candidate ${CMAKE_SOURCE_DIR}/${CMAKE_MATCH_1} ${here}/${CMAKE_MATCH_1})
        if(EXISTS ${candidate})
          tk_reaches_win32(${candidate} deeper)
          if(deeper)
            set(answer TRUE)
          endif()
          break()
        endif()
      endforeach()
      if(answer)
        break()
      endif()
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY "TK_WIN32_REACH:${file}" ${answer})
  set(${out} ${answer} PARENT_SCOPE)
endfunction()

function(tk_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    tk_collect_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Every C++ target of ours reuses one of the two sets.
function(tk_precompile_our_targets)
  tk_pch_owner(tk_code_pch)
  tk_pch_owner(tk_test_pch LIBS gmock gtest HEADERS <gtest/gtest.h> <gmock/gmock.h>)
  set(quiet -Wno-array-bounds -Wno-stringop-overread)
  target_compile_options(tk_test_pch PRIVATE ${quiet})
  tk_collect_targets(${CMAKE_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY" OR target MATCHES "^tk_(code|test)_pch$")
      continue()
    endif()
    # Ours: defined below the top folder (third-party libraries are defined in it, by
    # cmake/ThirdParty.cmake, or come from their own source trees).
    get_target_property(dir ${target} SOURCE_DIR)
    if(NOT dir MATCHES "^${CMAKE_SOURCE_DIR}/" OR dir MATCHES "^${CMAKE_SOURCE_DIR}/\\.deps")
      continue()
    endif()
    get_target_property(links ${target} LINK_LIBRARIES)
    if("gtest" IN_LIST links OR "gtest_main" IN_LIST links)
      target_precompile_headers(${target} REUSE_FROM tk_test_pch)
      target_compile_options(${target} PRIVATE ${quiet})
      continue()
    endif()
    target_precompile_headers(${target} REUSE_FROM tk_code_pch)
    get_target_property(sources ${target} SOURCES)
    foreach(source ${sources})
      if(NOT source MATCHES "\\.(cpp|cc)$")
        continue()
      endif()
      if(IS_ABSOLUTE ${source})
        set(path ${source})
      else()
        set(path ${dir}/${source})
      endif()
      tk_reaches_win32(${path} win32)
      if(NOT win32)
        set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endforeach()
  endforeach()
endfunction()
