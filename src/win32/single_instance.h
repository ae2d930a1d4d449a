#pragma once
// One TARVEX per settings folder: a second start finds the running program,
// asks it to show its window and ends, so no task runs twice and no two
// programs write the same task file. The claim is a file inside the folder held
// open for writing by the running program, so the folder is one however it is
// reached (another drive letter, a mapped or substituted drive, a short name).
// Where that file cannot be held, nothing else proves the folder is free, so
// the program does not run at all.
#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace tarvex::win32 {

// The file whose open handle is the claim.
inline constexpr const wchar_t* kInstanceFile = L"TARVEX.LCK";

class SingleInstance {
public:
    // Claims the folder, or finds it claimed by a program already running.
    explicit SingleInstance(const std::string& folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool first() const { return first_; }
    // Why the folder could not be claimed (the operator's text); empty when it
    // was, or when another program holds it.
    const std::string& refusal() const { return refusal_; }
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
    bool published(Shared& out) const;

    std::string folder_;
    std::wstring lockPath_;
    Handle lock_;
    bool first_ = false;
    std::string refusal_;
};

}  // namespace tarvex::win32
