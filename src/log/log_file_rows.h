#pragma once
// The log as the grid shows it, read from the file as rows are asked for, so the
// memory it takes does not grow with the file: a pass over the file, on a thread
// of its own, counts the shown entries and keeps where one in every block of them
// starts; a row is found by reading its block again.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "log/log_lines.h"

namespace tarvex::log {

class LogFileRows {
public:
    // The first `size` bytes of the file at `path`: what it held when the page was built.
    LogFileRows(std::string path, std::uint64_t size, LogFilter filter);
    LogFileRows(std::string path, std::uint64_t size, bool showStart, bool showClose)
        : LogFileRows(std::move(path), size, LogFilter{showStart, showClose, {}, LogResult::All}) {}

    // The pass, run once; ends early when `stop` is asked. The readers below may
    // run on another thread meanwhile and see the entries found so far.
    void index(std::stop_token stop);
    bool finished() const { return finished_; }
    // Why the pass ended before the end of the file; empty when it did not.
    std::string fault() const;
    // The file's line breaks, once the pass has been through all of it.
    std::optional<std::uint64_t> lineBreaks() const;

    // Title row, the entries found so far, an empty last row.
    int rows() const;
    // The window's thread only.
    void row(int r, std::vector<std::string>& cells) const;

private:
    struct Mark {
        std::uint64_t offset;   // where entry `row` starts
        int row;
    };
    // Where a block's entries start, read so far; the last block of a pass under
    // way grows, so its reading can go on from where it stopped.
    struct Block {
        int first = 0;
        std::vector<std::uint64_t> starts;
        LineScanner lines{true, true};
        std::uint64_t next = 0;
        unsigned used = 0;
    };
    const std::string path_;
    const std::uint64_t size_;
    const LogFilter filter_;

    mutable std::mutex mutex_;   // guards what the pass shares
    std::vector<Mark> marks_;
    int shown_ = 0;
    std::string fault_;
    std::optional<std::uint64_t> breaks_;
    std::atomic<bool> finished_{false};

    mutable std::vector<Block> blocks_;   // the blocks read last
    mutable unsigned uses_ = 0;
    mutable std::string window_;          // the bytes read last for rows, from windowAt_
    mutable std::uint64_t windowAt_ = 0;

    void publish(std::vector<Mark>& fresh, int shown);
    const Block* block(int r) const;
    void readBlock(Block& b, int count) const;
};

}  // namespace tarvex::log
