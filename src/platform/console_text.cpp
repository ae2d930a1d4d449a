#include "platform/console_text.h"

#include <atomic>

namespace tarvex::platform {

namespace {

class Cp1252Itself : public ConsoleCodePage {
public:
    unsigned number() const override { return 1252; }
    std::optional<std::string> fromCp1252(const std::string& text, char&) const override { return text; }
};

const Cp1252Itself kCp1252;
std::atomic<const ConsoleCodePage*> installed{nullptr};

}  // namespace

const ConsoleCodePage& consoleCodePage() {
    const ConsoleCodePage* page = installed.load();
    return page ? *page : kCp1252;
}

void setConsoleCodePage(const ConsoleCodePage* page) { installed = page; }

}  // namespace tarvex::platform
