# The Windows program: the shared core, the Win32 backend and the Win32 views.
# Included from src/CMakeLists.txt when cross-building with cmake/mingw-w64-x86_64.cmake.

# Wide-character Win32 API throughout; nothing from windows.h's min/max macros.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# --- platform backend: Win32 ----------------------------------------------------------
file(GLOB_RECURSE PLATFORM_SOURCES CONFIGURE_DEPENDS platform/windows/*.cpp platform/windows/*.h)
add_library(pathtally_platform_windows STATIC ${PLATFORM_SOURCES})
add_library(pathtally_platform ALIAS pathtally_platform_windows)
target_link_libraries(pathtally_platform_windows PUBLIC pathtally_core
  PRIVATE advapi32 shell32 user32 winmm)
