// Another program moving the pointer: set_cursor_pos.exe X Y calls SetCursorPos, which no
// low-level mouse hook sees, and ends once the pointer is there. Under Wine the position is
// first the one asked for and is read from the X server again a little later, where a warp
// can still be on its way (or lost with a program that ends at once): so the call is made
// again until a read a while after it finds the pointer there. Exits 0 when it is.

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!SetCursorPos(x, y)) return 1;
        // Wine asks the X server for the position when its own is older than 100 ms.
        Sleep(250);
        POINT p;
        if (GetCursorPos(&p) && p.x == x && p.y == y) return 0;
    }
    return 1;
}
