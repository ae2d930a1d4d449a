#pragma once
// The real folder browser and file-open dialog behind the editor's path pickers.
#include <windows.h>

#include <string>

#include "platform/dialogs.h"

namespace tarvex::win32 {

// "a|b|c|d" as the file dialog wants its filter: each part ended by a NUL, the
// whole by a second NUL. An odd last description gets the pattern "*.*".
std::wstring filterPairs(const std::string& filter);

class Win32Dialogs : public platform::Dialogs {
public:
    // The window the dialogs belong to (none: the desktop).
    void setOwner(HWND owner) { owner_ = owner; }
    std::optional<std::string> browseFolder(const std::string& title, const std::string& initial) override;
    std::optional<std::string> openFile(const std::string& filter, const std::string& start) override;

private:
    HWND owner() const { return owner_ && IsWindow(owner_) ? owner_ : nullptr; }
    HWND owner_ = nullptr;
};

}  // namespace tarvex::win32
