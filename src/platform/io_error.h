#pragma once
// The one error value of the platform layer: the file, the system's own error
// and a Portuguese text for the operator that gives both.
#include <optional>
#include <string>
#include <system_error>

namespace tarvex::platform {

struct IoError {
    std::string path;
    std::error_code code;
    std::string text;   // "<what>: <path> - <the system's own message>"
};
// Nothing when the operation was done.
using IoResult = std::optional<IoError>;

// The system's own message for `code`, as it gives it (in its own language).
std::string systemMessage(const std::error_code& code);

// `what` is the operation in Portuguese ("Erro na gravação do arquivo").
IoError ioError(const std::string& what, const std::string& path, std::error_code code);

// The error the last failed C runtime call left; on Windows the system's own
// code, so the message is the one Windows gives in its own language.
std::error_code lastSystemError();
// Forgets it, before a call whose failure is to be told.
void clearSystemError();

// The code a refused write gives: access denied.
std::error_code accessDenied();
// The code a write that did not fit gives: disk full.
std::error_code diskFull();

}  // namespace tarvex::platform
