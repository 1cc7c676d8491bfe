# Tests of the Windows program, cross-built with mingw-w64 and run under Wine
# (tests/support/run-wine-test.sh: a Wine prefix per test binary, copied from one made
# once per build folder). Included from tests/CMakeLists.txt.

# GoogleTest from Debian's source package, built with the cross toolchain.
set(PATHTALLY_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PATHTALLY_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(gtest_target gtest gtest_main gmock gmock_main)
  target_compile_options(${gtest_target} PRIVATE -w)  # not our code to keep warning-free
endforeach()

file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS support/*.cpp support/*.h)
add_library(pathtally_testsupport STATIC ${SUPPORT_SOURCES})
target_include_directories(pathtally_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pathtally_testsupport PUBLIC pathtally_core gtest gmock)

set(PT_RUN_WINE_TEST ${CMAKE_CURRENT_SOURCE_DIR}/support/run-wine-test.sh)
set(PT_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)

# pathtally_add_wine_test(<name> [XVFB] SOURCES ... LIBS ...)
function(pathtally_add_wine_test name)
  cmake_parse_arguments(T "XVFB" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE pathtally_testsupport gtest_main ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    PT_BINARY_DIR="${CMAKE_BINARY_DIR}" PT_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PT_WIDE_SOURCE_DIR=L"${CMAKE_SOURCE_DIR}")
  set(mode "")
  if(T_XVFB)
    set(mode "--xvfb")
  endif()
  add_test(NAME ${name}
    COMMAND ${PT_RUN_WINE_TEST} ${mode} --template ${PT_WINE_TEMPLATE} $<TARGET_FILE:${name}>)
endfunction()

# Core rules with fakes, the same tests as on Linux but for the one on POSIX file modes
# under an open umask, which Windows does not have.
file(GLOB CORE_TESTS CONFIGURE_DEPENDS core/*.cpp)
list(REMOVE_ITEM CORE_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/core/DataFileAccessTest.cpp)
# The takeover of a data file left in the start folder runs on Linux only (the Windows
# program does not move its working folder yet); its tests plant links and owner-only
# files, which Windows handles differently.
list(REMOVE_ITEM CORE_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/core/DataFileTakeoverTest.cpp)
pathtally_add_wine_test(core_tests SOURCES ${CORE_TESTS})

# The Win32 backend against Wine's registry, hooks, pointer and web control, on an X server
# of its own.
file(GLOB WINDOWS_PLATFORM_TESTS CONFIGURE_DEPENDS windows/*.cpp)
# With the composition root's commands, to check that every clickable control has one.
list(REMOVE_ITEM WINDOWS_PLATFORM_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/windows/set_cursor_pos.cpp)
pathtally_add_wine_test(windows_platform_tests XVFB SOURCES ${WINDOWS_PLATFORM_TESTS}
  ${PROJECT_SOURCE_DIR}/src/app/windows/Commands.cpp LIBS pathtally_platform pathtally_ui_win32)
# Another program that moves the pointer with SetCursorPos, for the travel tests.
add_executable(set_cursor_pos windows/set_cursor_pos.cpp)
add_dependencies(windows_platform_tests set_cursor_pos)
# The day history's writer that the kill tests end at random points.
add_executable(history_journal_writer windows/writer/HistoryJournalWriter.cpp)
target_link_libraries(history_journal_writer PRIVATE pathtally_platform)
target_link_options(history_journal_writer PRIVATE -municode)
add_dependencies(windows_platform_tests history_journal_writer)
target_compile_definitions(windows_platform_tests PRIVATE
  PT_HISTORY_WRITER="$<TARGET_FILE:history_journal_writer>")

# The whole program under Wine on Xvfb, driven with xdotool; screenshots in both scripts.
add_test(NAME windows_program_e2e
  COMMAND ${PT_RUN_WINE_TEST} --xvfb --template ${PT_WINE_TEMPLATE} --unix
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/program-e2e.sh $<TARGET_FILE:pathtally>
    ${CMAKE_BINARY_DIR}/screenshots)

# The installer under Wine: install, the program run from Program Files, an upgrade over an
# older version keeping the totals, uninstall keeping the user's data.
if(PT_MAKENSIS)
  add_test(NAME windows_installer
    COMMAND ${PT_RUN_WINE_TEST} --xvfb --template ${PT_WINE_TEMPLATE} --unix
      ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer-test.sh
      $<TARGET_PROPERTY:installer,INSTALLER_FILE> $<TARGET_PROPERTY:installer,INSTALLER_SCRIPT>
      $<TARGET_FILE:pathtally> ${PROJECT_SOURCE_DIR}/data/icons/pathtally.ico
      ${PROJECT_SOURCE_DIR}/LICENSE)
endif()
