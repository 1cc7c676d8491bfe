# The Windows program: the shared core, the Win32 backend and the Win32 views.
# Included from src/CMakeLists.txt when cross-building with cmake/mingw-w64-x86_64.cmake.

# Wide-character Win32 API throughout; nothing from windows.h's min/max macros.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# --- platform backend: Win32 ----------------------------------------------------------
file(GLOB_RECURSE PLATFORM_SOURCES CONFIGURE_DEPENDS platform/windows/*.cpp platform/windows/*.h
  platform/common/*.h)
add_library(pathtally_platform_windows STATIC ${PLATFORM_SOURCES})
add_library(pathtally_platform ALIAS pathtally_platform_windows)
target_link_libraries(pathtally_platform_windows PUBLIC pathtally_core
  PRIVATE advapi32 shell32 user32 winhttp winmm)

# --- views: plain Win32 windows bound to the core's form models ------------------------
file(GLOB UI_SOURCES CONFIGURE_DEPENDS ui/win32/*.cpp ui/win32/*.h)
add_library(pathtally_ui_win32 STATIC ${UI_SOURCES})
target_link_libraries(pathtally_ui_win32 PUBLIC pathtally_core pathtally_platform
  PRIVATE comctl32 comdlg32 gdi32 ole32 oleaut32 shell32 user32 uuid)

# --- the program: pathtally.exe, a GUI program with the runtimes linked in -----------
enable_language(RC)
file(GLOB APP_SOURCES CONFIGURE_DEPENDS app/windows/*.cpp app/windows/*.h)
add_executable(pathtally WIN32 ${APP_SOURCES} app/windows/pathtally.rc)
set_property(SOURCE app/windows/pathtally.rc APPEND PROPERTY INCLUDE_DIRECTORIES
  ${PROJECT_SOURCE_DIR}/data/icons)
set_property(SOURCE app/windows/pathtally.rc APPEND PROPERTY COMPILE_DEFINITIONS
  PATHTALLY_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  PATHTALLY_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  PATHTALLY_VERSION_PATCH=${PROJECT_VERSION_PATCH})
target_link_libraries(pathtally PRIVATE pathtally_ui_win32 pathtally_platform)
target_link_options(pathtally PRIVATE -municode)  # wWinMain
set_target_properties(pathtally PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# --- the installer: pathtally-setup-<version>.exe, built with NSIS (makensis) -----------
# Part of every build where makensis is installed (scripts/deps.sh --windows); `make windows`
# asks for the target by name, so there a missing makensis is an error.
find_program(PT_MAKENSIS makensis)
set(PT_INSTALLER_SCRIPT ${PROJECT_SOURCE_DIR}/data/windows/pathtally.nsi)
set(PT_INSTALLER ${CMAKE_BINARY_DIR}/pathtally-setup-${PROJECT_VERSION}.exe)
if(PT_MAKENSIS)
  add_custom_command(OUTPUT ${PT_INSTALLER}
    COMMAND ${PT_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:pathtally>
      -DPROGRAM_ICON=${PROJECT_SOURCE_DIR}/data/icons/pathtally.ico
      -DLICENSE_FILE=${PROJECT_SOURCE_DIR}/LICENSE -DOUTFILE=${PT_INSTALLER} ${PT_INSTALLER_SCRIPT}
    DEPENDS pathtally ${PT_INSTALLER_SCRIPT} ${PROJECT_SOURCE_DIR}/LICENSE
      ${PROJECT_SOURCE_DIR}/data/icons/pathtally.ico
    COMMENT "Building the installer ${PT_INSTALLER}" VERBATIM)
  add_custom_target(installer ALL DEPENDS ${PT_INSTALLER})
  # For the installer's test.
  set_target_properties(installer PROPERTIES INSTALLER_FILE ${PT_INSTALLER}
    INSTALLER_SCRIPT ${PT_INSTALLER_SCRIPT})
else()
  add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E echo "makensis is not installed (scripts/deps.sh --windows)"
    COMMAND ${CMAKE_COMMAND} -E false VERBATIM)
endif()
