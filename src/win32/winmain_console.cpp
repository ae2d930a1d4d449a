// Console stand-in for tarvex.exe until the main window exists: shows the
// settings folder and what the task file beside the executable holds.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The system's texts are Windows-1252; a console shows them right only as UTF-16.
void print(const std::string& cp1252) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(out, &mode)) {
        std::fwrite(cp1252.data(), 1, cp1252.size(), stdout);
        return;
    }
    int n = MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), wide.data(), n);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

// The folder of the executable, with a trailing backslash.
std::string exeFolder() {
    wchar_t buf[MAX_PATH * 4];
    DWORD len = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    std::wstring path(buf, len);
    path.erase(path.find_last_of(L'\\') + 1);
    int n = WideCharToMultiByte(1252, 0, path.data(), static_cast<int>(path.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, path.data(), static_cast<int>(path.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

int main() {
    const std::string folder = exeFolder();
    print("TARVEX (console)\r\nPasta de parâmetros: " + folder + "\r\n");

    const std::string taskFile = folder + "TARVEX_TAREFAS.TXT";
    std::ifstream in(taskFile, std::ios::binary);
    if (!in) {
        print("Arquivo de tarefas não encontrado: " + taskFile + "\r\n");
        return 0;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    print("Arquivo de tarefas: " + taskFile + " (" + std::to_string(bytes.size()) + " bytes)\r\n");
    print(bytes);
    std::fflush(stdout);
    return 0;
}
