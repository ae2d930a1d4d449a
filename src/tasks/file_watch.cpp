#include "tasks/file_watch.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "lib/errors.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tarvex::tasks {

namespace {

// Tells a file touched from one changed. The task file is hashed at every load
// and save, so 32 bytes a step in four lanes that do not wait on each other
// (the library's string hash took longer than cutting the file into cells).
std::size_t hashOf(const std::string& bytes) {
    constexpr std::uint64_t kMul = 0xBF58476D1CE4E5B9ull;
    std::uint64_t lane[4] = {0x9E3779B97F4A7C15ull ^ bytes.size(), 1, 2, 3};
    const char* p = bytes.data();
    size_t left = bytes.size();
    for (; left >= 32; p += 32, left -= 32)
        for (int k = 0; k < 4; ++k) {
            std::uint64_t w;
            std::memcpy(&w, p + 8 * k, 8);
            lane[k] = (lane[k] ^ w) * kMul;
            lane[k] ^= lane[k] >> 31;
        }
    std::uint64_t h = lane[0];
    for (int k = 1; k < 4; ++k) h = (h ^ lane[k]) * kMul;
    for (; left > 0; ++p, --left) h = (h ^ static_cast<unsigned char>(*p)) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

}  // namespace

void FileWatch::remember(const std::string& path, const std::string& bytes) {
    std::error_code ec;
    const fs::path p = platform::fsPath(path);
    known_ = true;
    size_ = bytes.size();
    hash_ = hashOf(bytes);
    time_ = fs::last_write_time(p, ec);
}

bool FileWatch::changed(const std::string& path, std::string& now) {
    std::error_code ec;
    const fs::path p = platform::fsPath(path);
    if (!fs::is_regular_file(p, ec)) return false;
    const std::uintmax_t size = fs::file_size(p, ec);
    const fs::file_time_type time = fs::last_write_time(p, ec);
    if (known_ && !ec && size == size_ && time == time_) return false;
    if (const platform::IoResult fault = platform::readFile(path, now))
        throw FileError(fault->text + "\r\nO arquivo foi alterado por outro programa e não pôde ser lido; "
                                      "a tabela de tarefas não foi gravada para não perder essa alteração.");
    if (known_ && hashOf(now) == hash_) {
        time_ = time;   // touched, not changed
        return false;
    }
    return true;
}

}  // namespace tarvex::tasks
