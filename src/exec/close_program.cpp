#include "exec/close_program.h"

#include <chrono>

#include "lib/routines.h"
#include "platform/operator.h"

namespace tarvex::exec {

namespace {

// The tagged name between the first "[" and the next "]", or empty.
std::string tagged(const std::string& program, const std::string& tag) {
    if (program.find(tag) == std::string::npos) return {};
    return textBetween(program, "[", "]");
}

std::uintptr_t postTo(platform::Windows& w, std::uintptr_t handle) {
    return handle != 0 && w.postClose(handle) ? handle : 0;
}

// The window the close request was posted to; 0 when none was found.
std::uintptr_t postClose(platform::Windows& w, const std::string& program) {
    // A text with both tags is read as a title, as the title tag is looked at first.
    if (std::string title = tagged(program, "Titulo["); !title.empty()) return postTo(w, w.find("", title));
    if (std::string cls = tagged(program, "Classe["); !cls.empty()) return postTo(w, w.find(cls, ""));
    if (program.empty()) return 0;   // an empty search would match any window
    std::uintptr_t handle = w.find("", program);
    if (handle == 0) handle = w.find(program, "");
    return postTo(w, handle);
}

}  // namespace

bool closeProgramWindows(platform::Windows& w, const std::string& program) {
    const bool posted = postClose(w, program) != 0;
    platform::op().processMessages();
    return posted;
}

CloseResult closeProgramAndWait(platform::Windows& w, const std::string& program, int waitMs) {
    const std::uintptr_t handle = postClose(w, program);
    platform::op().processMessages();
    if (!handle) return CloseResult::NotFound;
    // The window keeps answering meanwhile; a program asking to save stays open.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    platform::op().waitUntil([&] { return !w.exists(handle) || std::chrono::steady_clock::now() >= until; },
                             [] {});
    return w.exists(handle) ? CloseResult::StillOpen : CloseResult::Closed;
}

std::string programName(const std::string& program) {
    for (const char* tag : {"Titulo[", "Classe["})
        if (std::string name = tagged(program, tag); !name.empty()) return name;
    return program;
}

std::vector<std::string> windowList(platform::Windows& w) {
    std::vector<std::string> entries;
    for (const platform::TopWindow& win : w.topLevel()) {
        // The list reads at most 254 characters of a title.
        std::string title = win.title.substr(0, 254);
        if (!win.visible || title.empty() || title == "Program Manager" ||
            title == "Oculta Aplicativos")
            continue;
        entries.push_back("Titulo[" + title + "]");
    }
    return entries;
}

}  // namespace tarvex::exec
