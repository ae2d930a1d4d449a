#include "lib/output_tail.h"

namespace tarvex {

namespace {
bool blank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }
}  // namespace

void OutputTail::endLine() {
    if (!blank(current_)) {
        lines_.push_back(std::move(current_));
        if (lines_.size() > maxLines_) lines_.pop_front();
    }
    current_.clear();
}

void OutputTail::add(std::string_view bytes) {
    for (char c : bytes) {
        if (returned_ && c != '\n') current_.clear();
        returned_ = false;
        if (c == '\n') {
            endLine();
        } else if (c == '\r') {
            returned_ = true;
        } else if ((static_cast<unsigned char>(c) >= 0x20 || c == '\t') && current_.size() < maxLength_) {
            current_ += c;
        }
    }
}

std::vector<std::string> OutputTail::lines() const {
    std::vector<std::string> out(lines_.begin(), lines_.end());
    if (!blank(current_)) out.push_back(current_);
    if (out.size() > maxLines_) out.erase(out.begin());
    return out;
}

}  // namespace tarvex
