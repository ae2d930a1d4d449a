#pragma once
// The ZIP writer's compression: entries deflated on worker threads, handed to
// libzip already compressed, in the archive's order.
#include <zip.h>

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

struct Entry {
    std::string name;              // as stored in the archive (UTF-8)
    std::filesystem::path file;
    std::uint64_t size = 0;        // as found when the tree was read
    std::time_t mtime = 0;
};

// Files up to this size are compressed whole; larger ones in pieces of it.
constexpr std::size_t kDefaultChunk = std::size_t{4} << 20;

int defaultThreads();   // the machine's cores, at most 8
std::string libzipError(int code);   // libzip's text for an open failure

class Packer {
public:
    // progress(entries written, bytes written) runs on the thread that closes the archive.
    using Progress = std::function<void(std::size_t, std::uint64_t)>;
    Packer(const std::vector<Entry>& entries, int threads, std::size_t chunk, Progress progress);
    ~Packer();
    Packer(const Packer&) = delete;
    Packer& operator=(const Packer&) = delete;

    // Every entry AES-256 encrypted with `password` by the worker that compresses
    // it (a big file's pieces in order, as libzip reads them). Before addAll.
    void encryptWith(const ArchivePassword* password) { password_ = password; }

    // Adds every entry to the open archive; the workers start at once and
    // zip_close pulls their output.
    void addAll(zip_t* za);
    // The first failure of a worker (file and reason); empty when none.
    std::string failure() const;

    struct Result;
private:
    struct Job {
        std::size_t entry;
        std::uint64_t offset;
        std::size_t length;
        bool whole;   // the entry is this one job; it may end up stored
        bool last;
        bool stored;  // a piece of a big entry stored as it is
    };
    class Source;
    struct Compressor;

    void work();
    void compress(const Job& job, const Compressor& compressor, Result& out) const;
    // Waits for job j; null once the run was cancelled.
    Result* await(std::size_t j);
    void consumed(std::size_t j);
    void fail(const std::string& why);
    void seal(Result& out, const Job& job) const;

    const std::vector<Entry>& entries_;
    const std::size_t chunk_;
    Progress progress_;
    std::vector<Job> jobs_;
    std::vector<std::size_t> firstJob_;
    std::vector<std::unique_ptr<Result>> results_;
    mutable std::mutex m_;
    std::condition_variable workCv_, readyCv_;
    std::vector<std::uint64_t> ahead_;   // plain bytes of the jobs before each
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t next_ = 0, consumed_ = 0;
    std::size_t awaited_ = kNone;   // the job the closing thread waits for
    std::uint64_t window_;
    bool cancelled_ = false;
    std::string failure_;
    std::size_t entriesDone_ = 0;
    std::uint64_t bytesDone_ = 0;
    std::vector<std::thread> workers_;
    int threads_;
    const ArchivePassword* password_ = nullptr;
};

}  // namespace tarvex::exec::pack
