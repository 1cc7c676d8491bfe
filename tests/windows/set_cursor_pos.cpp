// Another program moving the pointer: set_cursor_pos.exe X Y calls SetCursorPos, which no
// low-level mouse hook sees. Exits 0 when the call succeeded.

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    return SetCursorPos(std::atoi(argv[1]), std::atoi(argv[2])) ? 0 : 1;
}
