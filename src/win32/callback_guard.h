#pragma once
// Windows calls into this program from its own code: window and dialog
// procedures, timer and enumeration callbacks, the message loop's dispatch. An
// exception must never unwind through those frames, so every such edge runs its
// work through guarded(): what was thrown is logged ("ERR") and shown through
// the operator service, and the callback returns normally.
#include <exception>
#include <functional>
#include <string>

namespace tarvex::win32 {

// How the program logs a fault; without one it is only shown.
void setFaultLog(std::function<void(const std::string& text)> log);
// Logs and shows; never throws.
void reportFault(const std::string& text) noexcept;
// The text of the exception being handled.
std::string currentFault() noexcept;

template <class R, class Work>
R guarded(R fallback, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        reportFault(currentFault());
    }
    return fallback;
}

template <class Work>
void guarded(Work&& work) noexcept {
    try {
        work();
    } catch (...) {
        reportFault(currentFault());
    }
}

}  // namespace tarvex::win32
