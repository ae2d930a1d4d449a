#pragma once
// A fresh folder for one test, removed with everything in it at the end.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <unistd.h>

namespace tarvex::testkit {

class TempDir {
public:
    TempDir() {
        // Under Wine process ids repeat from run to run in one shared temp folder,
        // so a name is taken only when the folder did not exist yet.
        static std::atomic<int> counter{0};
        static const auto seed = std::random_device{}();
        for (;;) {
            std::ostringstream name;
            name << "tarvex-test-" << ::getpid() << "-" << seed % 100000 << "-" << counter++;
            path_ = std::filesystem::temp_directory_path() / name.str();
            if (std::filesystem::create_directories(path_)) break;
        }
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (fs::remove_all(path_, ec) != static_cast<std::uintmax_t>(-1) && !ec) return;
        // Windows will not delete a read-only file: make everything writable, then retry.
        for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder with a trailing separator, as the system keeps folders.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace tarvex::testkit
