# The Windows program: the shared core, the Win32 backend and the Win32 views.
# Included from src/CMakeLists.txt when cross-building with cmake/mingw-w64-x86_64.cmake.

# Wide-character Win32 API throughout; nothing from windows.h's min/max macros.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
