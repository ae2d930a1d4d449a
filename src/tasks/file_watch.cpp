#include "tasks/file_watch.h"


#include "lib/errors.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tarvex::tasks {

void FileWatch::remember(const std::string& path, std::string bytes) {
    std::error_code ec;
    const fs::path p = platform::fsPath(path);
    known_ = true;
    size_ = bytes.size();
    bytes_ = std::move(bytes);
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
    if (known_ && now == bytes_) {
        time_ = time;   // touched, not changed
        return false;
    }
    return true;
}

}  // namespace tarvex::tasks
