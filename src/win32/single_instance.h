#pragma once
// One TARVEX per settings folder: a second start finds the running program,
// asks it to show its window and ends, so no task runs twice and no two
// programs write the same task file.
#include <windows.h>

#include <string>

namespace tarvex::win32 {

// The kernel-object name for a folder: the same folder however its path is
// spelled in letter case, and never holding '\' (not allowed past the prefix).
std::wstring instanceName(const std::string& folder);

class SingleInstance {
public:
    // Claims the folder, or finds it claimed by a program already running.
    explicit SingleInstance(const std::string& folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool first() const { return first_; }
    // The first program tells later starts where its main window is.
    void publish(HWND main);
    // A later start: the running program is asked to bring its window forward.
    // False when its window did not appear within `waitMs` (it is still starting).
    bool bringForward(DWORD waitMs) const;

    // Posted to the main window by a later start.
    static UINT showMessage();

private:
    struct Shared {
        ULONGLONG window;
        DWORD process;
    };
    HANDLE mapping_ = nullptr;
    Shared* shared_ = nullptr;
    bool first_ = false;
};

}  // namespace tarvex::win32
