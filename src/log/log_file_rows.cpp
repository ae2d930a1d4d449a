#include "log/log_file_rows.h"

#include <algorithm>
#include <climits>

#include "log/log_lines.h"
#include "log/log_rows.h"
#include "platform/files.h"

namespace tarvex::log {

namespace {

// A block is this many entries, fewer when they spread over more than kBlockBytes,
// so reading one back stays short whatever lies between the entries.
constexpr int kBlockRows = 1024;
constexpr std::uint64_t kBlockBytes = 1 << 20;
constexpr std::size_t kPassChunk = 1 << 20;
constexpr std::size_t kBlockChunk = 256 * 1024;
constexpr std::size_t kKeptBlocks = 8;
// The grid counts rows in an int.
constexpr int kMostEntries = INT_MAX - 2;

}  // namespace

LogFileRows::LogFileRows(std::string path, std::uint64_t size, LogFilter filter)
    : path_(std::move(path)), size_(size), filter_(std::move(filter)) {}

void LogFileRows::index(std::stop_token stop) {
    LineScanner lines(filter_);
    std::vector<Mark> fresh;
    Mark last{0, 0};
    int shown = 0;
    const auto found = [&](std::uint64_t start) {
        if (shown == kMostEntries) return;
        ++shown;
        if (shown == 1 || shown - last.row >= kBlockRows || start - last.offset >= kBlockBytes) {
            last = {start, shown};
            fresh.push_back(last);
        }
    };
    std::string chunk;
    std::string fault;
    std::uint64_t at = 0;
    try {
        while (at < size_ && !stop.stop_requested() && shown < kMostEntries) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kPassChunk, size_ - at));
            if (const platform::IoResult failed = platform::readFileAt(path_, at, want, chunk)) {
                fault = failed->text;
                break;
            }
            if (chunk.empty()) break;   // the file was cut short meanwhile
            lines.feed(chunk.data(), chunk.size(), at, found);
            at += chunk.size();
            if (at >= size_) lines.finish(found);
            publish(fresh, shown);
        }
    } catch (const std::bad_alloc&) {
        fault = "Memória insuficiente para ler o LOG " + path_;
    }
    {
        std::lock_guard lock(mutex_);
        fault_ = fault;
        if (at >= size_ && fault.empty()) breaks_ = lines.lineBreaks();
    }
    finished_ = true;
}

void LogFileRows::publish(std::vector<Mark>& fresh, int shown) {
    std::lock_guard lock(mutex_);
    marks_.insert(marks_.end(), fresh.begin(), fresh.end());
    shown_ = shown;
    fresh.clear();
}

std::string LogFileRows::fault() const {
    std::lock_guard lock(mutex_);
    return fault_;
}

std::optional<std::uint64_t> LogFileRows::lineBreaks() const {
    std::lock_guard lock(mutex_);
    return breaks_;
}

int LogFileRows::rows() const {
    std::lock_guard lock(mutex_);
    return shown_ + 2;
}

void LogFileRows::row(int r, std::vector<std::string>& cells) const {
    if (r == 0) return titleCells(cells);
    cells.assign(kLogColumns, std::string());
    const Block* b = block(r);
    if (!b) return;   // the empty last row, or a file no longer readable
    const std::uint64_t start = b->starts[static_cast<std::size_t>(r - b->first)];
    // Rows are asked for a screen at a time: one read serves the rows after it too.
    const auto held = [&] {
        if (start < windowAt_ || start >= windowAt_ + window_.size()) return false;
        const std::string_view rest = std::string_view(window_).substr(static_cast<std::size_t>(start - windowAt_));
        return rest.size() >= kRowBytes || windowAt_ + window_.size() >= size_ ||
               rest.find_first_of("\r\n") != std::string_view::npos;
    };
    if (!held()) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kRowBytes, size_ - start));
        windowAt_ = start;
        if (platform::readFileAt(path_, start, want, window_)) return;
    }
    entryCells(std::string_view(window_).substr(static_cast<std::size_t>(start - windowAt_)), cells);
}

// The block holding entry `r`, read again when it is not among the last ones read.
const LogFileRows::Block* LogFileRows::block(int r) const {
    Mark mark{};
    int count = 0;
    {
        std::lock_guard lock(mutex_);
        if (r < 1 || r > shown_) return nullptr;
        auto next = std::upper_bound(marks_.begin(), marks_.end(), r, [](int row, const Mark& m) { return row < m.row; });
        mark = *(next - 1);
        count = (next == marks_.end() ? shown_ + 1 : next->row) - mark.row;
    }
    Block* b = nullptr;
    for (Block& kept : blocks_)
        if (kept.first == mark.row) b = &kept;
    if (!b) {
        if (blocks_.size() >= kKeptBlocks)
            blocks_.erase(std::min_element(blocks_.begin(), blocks_.end(),
                                           [](const Block& x, const Block& y) { return x.used < y.used; }));
        b = &blocks_.emplace_back();
        b->first = mark.row;
        b->lines = LineScanner(filter_);
        b->next = mark.offset;
    }
    b->used = ++uses_;
    if (r - b->first >= static_cast<int>(b->starts.size())) readBlock(*b, count);
    return r - b->first < static_cast<int>(b->starts.size()) ? b : nullptr;
}

// Reads on until the block holds `count` entries or the file ends.
void LogFileRows::readBlock(Block& b, int count) const {
    const auto found = [&](std::uint64_t start) { b.starts.push_back(start); };
    std::string chunk;
    while (b.next < size_ && static_cast<int>(b.starts.size()) < count) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockChunk, size_ - b.next));
        if (platform::readFileAt(path_, b.next, want, chunk) || chunk.empty()) return;
        b.lines.feed(chunk.data(), chunk.size(), b.next, found);
        b.next += chunk.size();
        if (b.next >= size_) b.lines.finish(found);
    }
}

}  // namespace tarvex::log
