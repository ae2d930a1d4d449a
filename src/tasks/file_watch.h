#pragma once
// What the task file was on disk when this program last read or wrote it, so
// that a change another program made in between is seen before a save.
#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvex::tasks {

class FileWatch {
public:
    // The file holds `bytes` now (just loaded or saved). They are kept, not
    // hashed: hashing a big list at every load and save cost more than keeping it.
    void remember(const std::string& path, std::string bytes);
    // There was no file.
    void forget() { *this = FileWatch(); }
    // True when the file is no longer what was remembered (a file that appeared
    // counts, one that went does not: nothing of it is left to keep); `now` then
    // holds its bytes. Size and time unchanged count as the same file; otherwise
    // the content decides. Throws FileError when a changed file cannot be read.
    bool changed(const std::string& path, std::string& now);

private:
    bool known_ = false;
    std::uintmax_t size_ = 0;
    std::filesystem::file_time_type time_{};
    std::string bytes_;
};

}  // namespace tarvex::tasks
