#pragma once
// A scratch folder for the Windows-side tests, with Windows-1252 paths as the
// system keeps them (backslashes, trailing separator on the folder).
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "win32/wide.h"

namespace tarvex::win32test {

// A plain window class for test windows; its default procedure lets WM_CLOSE
// destroy the window, as an ordinary program does.
inline void registerClass(const std::string& name) {
    static std::vector<std::wstring> names;   // the class keeps a pointer to its name
    names.push_back(win32::widen(name));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;          // WM_CLOSE destroys the window
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = names.back().c_str();
    RegisterClassW(&wc);
}


class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        // Wine reuses process ids, and a folder an earlier program could not
        // remove (a read-only file in it) must not stop this one.
        std::filesystem::path p;
        std::error_code ec;
        do {
            p = std::filesystem::temp_directory_path() /
                ("tarvex-w32-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
            ec.clear();
            std::filesystem::remove_all(p, ec);
        } while (ec);
        std::filesystem::create_directories(p);
        folder_ = win32::narrow(p.wstring()) + "\\";
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(platform::fsPath(folder_), ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& folder() const { return folder_; }
    std::string path(const std::string& rel) const { return folder_ + rel; }
    void write(const std::string& rel, const std::string& bytes) const {
        std::filesystem::create_directories(platform::fsPath(path(rel)).parent_path());
        platform::overwriteFile(path(rel), bytes);
    }
    std::optional<std::string> read(const std::string& rel) const { return platform::readFile(path(rel)); }
    bool exists(const std::string& rel) const {
        return std::filesystem::exists(platform::fsPath(path(rel)));
    }
    // For what another process writes without being waited for.
    std::optional<std::string> readWithin(const std::string& rel, std::chrono::seconds limit) const {
        auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            if (auto bytes = read(rel); bytes && !bytes->empty()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));   // let the writer finish
                return read(rel);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return std::nullopt;
    }

private:
    std::string folder_;
};

}  // namespace tarvex::win32test
