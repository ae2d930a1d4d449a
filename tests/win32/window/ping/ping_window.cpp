// Sends WM_NULL to a window every 100 ms, from a process of its own as a user's
// desktop would, and keeps the slowest answer in a file: "<pings> <slowest ms>".
// Usage: tarvex_ping <window handle, decimal> <file>. Runs until the window goes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[1], nullptr, 10)));
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    long pings = 0;
    double slowest = 0;
    while (IsWindow(window)) {
        DWORD_PTR result = 0;
        QueryPerformanceCounter(&before);
        // A window that never answers counts as the whole wait.
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
        QueryPerformanceCounter(&after);
        const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        if (ms > slowest) slowest = ms;
        ++pings;
        if (std::FILE* f = std::fopen(argv[2], "w")) {
            std::fprintf(f, "%ld %.0f\n", pings, slowest);
            std::fclose(f);
        }
        Sleep(100);
    }
    return 0;
}
