#pragma once
// Owners for what Windows hands out: each gives back its own when it goes out
// of scope, so no path out of a function forgets a close.
#include <windows.h>

#include <utility>

namespace tarvex::win32 {

// A kernel handle; both null and INVALID_HANDLE_VALUE mean "none".
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { reset(); }
    Handle(Handle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Handle& operator=(Handle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = nullptr) {
        if (*this) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

// Both handles of a started process.
struct Process {
    explicit Process(const PROCESS_INFORMATION& pi) : process(pi.hProcess), thread(pi.hThread) {}
    Handle process, thread;
};

// An open registry key.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY get() const { return key_; }
    HKEY* out() { return &key_; }   // for the Reg*Key calls that fill it in

private:
    HKEY key_ = nullptr;
};

}  // namespace tarvex::win32
