#include "win32/callback_guard.h"

#include "platform/operator.h"

namespace tarvex::win32 {

namespace {

std::function<void(const std::string&)>& faultLog() {
    static std::function<void(const std::string&)> log;
    return log;
}

}  // namespace

void setFaultLog(std::function<void(const std::string& text)> log) { faultLog() = std::move(log); }

std::string currentFault() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Erro sem descrição (exceção desconhecida)";
    }
}

void reportFault(const std::string& text) noexcept {
    // A fault while the box of an earlier one is open is logged only, so boxes
    // never pile up on one another.
    static int showing = 0;
    try {
        if (faultLog()) faultLog()(text);
        if (showing > 0) return;
        ++showing;
        platform::op().error(text);
        --showing;
    } catch (...) {
        showing = 0;
    }
}

}  // namespace tarvex::win32
