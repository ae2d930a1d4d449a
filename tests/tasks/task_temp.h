#pragma once
// A fresh folder per test, removed at the end; paths in the system's own form.
#include <atomic>
#include <random>
#include <filesystem>
#include <string>

#include "platform/files.h"

namespace tarvex::tasks::test {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto base = std::filesystem::temp_directory_path();
        dir_ = base / ("tarvex_tasks_" + std::to_string(std::random_device{}()) + "_" +
                       std::to_string(++counter));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With its trailing backslash, as programFolder is.
    std::string folder() const { return platform::fromFsPath(dir_) + "\\"; }
    std::string file(const std::string& name) const { return folder() + name; }
    const std::filesystem::path& fsDir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

inline std::string seps(int n) { return std::string(static_cast<size_t>(n), '\xA6'); }

}  // namespace tarvex::tasks::test
