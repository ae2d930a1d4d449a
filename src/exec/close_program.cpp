#include "exec/close_program.h"

#include "lib/routines.h"
#include "platform/operator.h"

namespace tarvex::exec {

namespace {

// The tagged name between the first "[" and the next "]", or empty.
std::string tagged(const std::string& program, const std::string& tag) {
    if (program.find(tag) == std::string::npos) return {};
    return textBetween(program, "[", "]");
}

bool postTo(platform::Windows& w, std::uintptr_t handle) {
    return handle != 0 && w.postClose(handle);
}

}  // namespace

bool closeProgramWindows(platform::Windows& w, const std::string& program) {
    bool posted = false;
    // A text with both tags is read as a title, as the title tag is looked at first.
    if (std::string title = tagged(program, "Titulo["); !title.empty()) {
        posted = postTo(w, w.find("", title));
    } else if (std::string cls = tagged(program, "Classe["); !cls.empty()) {
        posted = postTo(w, w.find(cls, ""));
    } else if (!program.empty()) {   // an empty search would match any window
        std::uintptr_t handle = w.find("", program);
        if (handle == 0) handle = w.find(program, "");
        posted = postTo(w, handle);
    }
    platform::op().processMessages();
    return posted;
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
