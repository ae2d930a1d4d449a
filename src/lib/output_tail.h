#pragma once
// The last lines a command wrote, kept while it runs: however much it writes,
// only a few short lines are held.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class OutputTail {
public:
    explicit OutputTail(std::size_t maxLines = 20, std::size_t maxLength = 200)
        : maxLines_(maxLines), maxLength_(maxLength) {}

    // Bytes as they come, split anywhere. A carriage return alone starts its line
    // again, as the console shows it (a progress counter keeps only its last state);
    // other control characters (a bell, a backspace) are left out.
    void add(std::string_view bytes);
    // The kept lines, the unfinished last one included; blank lines left out.
    std::vector<std::string> lines() const;

private:
    void endLine();

    std::size_t maxLines_, maxLength_;
    std::deque<std::string> lines_;
    std::string current_;
    bool returned_ = false;   // a '\r' was the last byte: its line is over unless '\n' follows
};

}  // namespace tarvex
