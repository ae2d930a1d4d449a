#pragma once
// The code page the command interpreter reads a batch file in. The batch files
// are written in it, converted from Windows-1252; Windows installs the system's
// console code page (GetOEMCP), elsewhere Windows-1252 itself stands in.
#include <optional>
#include <string>

namespace tarvex::platform {

class ConsoleCodePage {
public:
    virtual ~ConsoleCodePage() = default;
    virtual unsigned number() const = 0;
    // `text` in this code page; nullopt when it holds a character the page has
    // not, that character (the first) put into `missing`.
    virtual std::optional<std::string> fromCp1252(const std::string& text, char& missing) const = 0;
};

const ConsoleCodePage& consoleCodePage();
void setConsoleCodePage(const ConsoleCodePage* page);   // nullptr: Windows-1252 again

}  // namespace tarvex::platform
