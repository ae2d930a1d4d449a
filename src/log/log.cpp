#include "log/log.h"

#include "lib/datetime.h"
#include "lib/routines.h"
#include "lib/secret_mask.h"
#include "log/log_months.h"
#include "log/run_history.h"
#include "platform/files.h"

namespace tarvex::log {

namespace {

constexpr int kDay = 24 * 60 * 60;

// Every field goes through here: a "#" would shift the columns after it, and a
// line break or another control character (a lone CR in a task's name) would cut
// the line or show as garbage in the editor that opens the log.
void addField(std::string& line, const std::string& field) {
    for (char c : field) {
        const unsigned char u = static_cast<unsigned char>(c);
        line += c == '#' || u < 0x20 || u == 0x7F ? ' ' : c;
    }
    line += '#';
}

}  // namespace

std::optional<std::string> Log::entry(const LocalTime& now, int item, const std::string& code,
                                      const std::string& text, const RunContext& context,
                                      const std::string& reason) {
    std::optional<int> start = readTime(context.HORA_INICIO);
    if (!start) return std::nullopt;
    const int end = secondsOfDay(now);
    // An operation that began before midnight and ends after it: the elapsed
    // time is what really passed, never a negative time of day.
    int elapsed = end - *start;
    if (elapsed < 0) elapsed += kDay;

    std::string line;
    for (const std::string& field :
         {formatDate(Date{now.year, now.month, now.day}), zeroPad(item, 2), code, text,
          context.HORA_INICIO, formatTime(end), formatTime(elapsed), context.TIPO_TAREFA,
          context.PERIODO_TAREFA})
        addField(line, field);
    // A failure's reason may quote the command that failed, with its password.
    if (!reason.empty()) addField(line, maskSecrets(reason));
    return line;
}

void Log::addEntry(int item, const std::string& code, const std::string& text,
                   const std::string& reason) const noexcept {
    try {
        // One reading of the clock, so the date and the end time agree at midnight.
        auto line = entry(platform::clock().now(), item, code, text, context_, reason);
        if (line) append(*line);
    } catch (...) {
        // The logged operation goes on whatever happens to its entry.
    }
}

void Log::logNow(int item, const std::string& code, const std::string& text) const noexcept {
    try {
        const LocalTime now = platform::clock().now();
        // Not a task's entry: the type and period of the last task run are not its own.
        RunContext context;
        context.HORA_INICIO = formatTime(secondsOfDay(now));
        if (auto line = entry(now, item, code, text, context)) append(*line);
    } catch (...) {
    }
}

std::size_t Log::waiting() const {
    std::lock_guard lock(m_);
    return waiting_.size();
}

// Entries that waited go first, in one write with the new one, so the log keeps
// their order and never holds half of them.
void Log::append(const std::string& line) const {
    std::string told;
    {
        std::lock_guard lock(m_);
        waiting_.push_back(line);
        if (waiting_.size() > kMaxWaiting) waiting_.pop_front();
        std::string bytes;
        for (const std::string& l : waiting_) bytes += l + "\r\n";
        if (const platform::IoResult fault = platform::appendWhole(path(), bytes)) {
            if (!told_)
                told = "Não foi possível gravar o registro " + path() + " (" + platform::systemMessage(fault->code) +
                       ").\r\nAs entradas ficam guardadas na memória (até " + std::to_string(kMaxWaiting) +
                       ") e serão gravadas assim que for possível.";
            told_ = true;
        } else {
            if (told_ && waiting_.size() > 1)
                told = "O registro " + path() + " voltou a ser gravado, com as " + std::to_string(waiting_.size() - 1) +
                       " entradas que esperavam.";
            told_ = false;
            waiting_.clear();
            // Most entries leave the log under its bound: no split, so no thread for them.
            if (maxBytes_ != 0 && platform::fileSize(path()).value_or(0) > maxBytes_) keepSmallLocked();
        }
    }
    if (!told.empty() && onUnwritten) onUnwritten(told);
}

void Log::setMaxBytes(std::uint64_t bytes) {
    std::lock_guard lock(m_);
    maxBytes_ = bytes;
}

void Log::keepSmall() const noexcept {
    try {
        std::lock_guard lock(m_);
        splitsAllowed_ = true;
        keepSmallLocked();
    } catch (...) {
        // The log stays whole; the next entry tries again.
    }
}

// Under m_: starts a split unless one runs, or the log was found to hold
// nothing older this month.
void Log::keepSmallLocked() const {
    if (!splitsAllowed_ || rotating_) return;
    const LocalTime now = platform::clock().now();
    std::string month = std::to_string(now.year) + "-" + zeroPad(now.month, 2);
    if (maxBytes_ == 0 || month == nothingOlderIn_) month.clear();
    const bool fillHistory = !historyLookedAt_;
    if (month.empty() && !fillHistory) return;
    historyLookedAt_ = true;
    if (rotation_.joinable()) rotation_.join();   // a split that has ended: its thread is on its way out
    rotating_ = true;
    rotation_ = std::jthread([this, month = std::move(month), fillHistory](std::stop_token stop) {
        behindTheWindow(stop, month, fillHistory);
    });
}

// `month` empty: no split. The history is filled after the split, so it never
// reads a month half moved.
void Log::behindTheWindow(std::stop_token stop, const std::string& month, bool fillHistory) const noexcept {
    if (!month.empty()) rotate(stop, month);
    if (fillHistory) {
        const LocalTime now = platform::clock().now();
        fillMissingHistory(folder_, Date{now.year, now.month, now.day}, stop);
    }
    rotating_ = false;
}

void Log::rotate(std::stop_token stop, const std::string& month) const noexcept {
    try {
        std::uint64_t bound;
        {
            std::lock_guard lock(m_);
            bound = maxBytes_;
        }
        // Entries wait only for the moment the log's end is read and for its replacing.
        const RotationHooks hooks{[this](const std::function<void()>& step) {
                                      std::lock_guard lock(m_);
                                      step();
                                  },
                                  stop};
        const Rotation r = rotateLog(path(), bound, month, hooks);
        if (r.nothingOlder) {
            std::lock_guard lock(m_);
            nothingOlderIn_ = month;
        }
    } catch (...) {
        // The log stays whole; the next entry tries again.
    }
}

}  // namespace tarvex::log
