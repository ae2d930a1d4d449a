#include "platform/io_error.h"

#include <cerrno>
#include <cstdlib>

namespace tarvex::platform {

namespace {

// The causes an operator meets, in his own language; the system's text (English
// under Wine, and "Unknown error" for some) only for the rest.
const char* knownCause(const std::error_code& code) {
#ifdef _WIN32
    if (code.category() == std::system_category()) switch (code.value()) {
        case 112: case 39: return "disco cheio";
        case 5: return "acesso negado";
        case 123: case 161: case 206: return "nome de arquivo inválido";
        case 2: return "arquivo não encontrado";
        case 3: return "pasta não encontrada";
        case 32: case 33: return "o arquivo está em uso por outro programa";
        case 19: return "disco protegido contra gravação";
        default: return nullptr;
        }
#endif
    switch (code.value()) {
    case ENOSPC: return "disco cheio";
    case EACCES: case EPERM: return "acesso negado";
    case EINVAL: case ENAMETOOLONG: return "nome de arquivo inválido";
    case ENOENT: return "arquivo ou pasta não encontrado";
    case EROFS: return "disco protegido contra gravação";
    default: return nullptr;
    }
}

}  // namespace

std::string systemMessage(const std::error_code& code) {
    if (!code) return "erro desconhecido";
    if (const char* cause = knownCause(code)) return cause;
    std::string m = code.message();
    while (!m.empty() && (m.back() == '\n' || m.back() == '\r' || m.back() == ' ' || m.back() == '.')) m.pop_back();
    // A text the system has none for is no use to the operator in English.
    if (m.empty() || m.rfind("Unknown error", 0) == 0) return "erro do sistema " + std::to_string(code.value());
    return m;
}

namespace {

#ifdef _WIN32
constexpr int kAccessDenied = 5;   // ERROR_ACCESS_DENIED
constexpr int kDiskFull = 112;     // ERROR_DISK_FULL
#endif

}  // namespace

IoError ioError(const std::string& what, const std::string& path, std::error_code code) {
    return IoError{path, code, what + ": " + path + " - " + systemMessage(code)};
}

std::error_code lastSystemError() {
#ifdef _WIN32
    if (_doserrno != 0) return {static_cast<int>(_doserrno), std::system_category()};
#endif
    return {errno, std::generic_category()};
}

void clearSystemError() {
    errno = 0;
#ifdef _WIN32
    _doserrno = 0;
#endif
}

std::error_code accessDenied() {
#ifdef _WIN32
    return {kAccessDenied, std::system_category()};
#else
    return {EACCES, std::generic_category()};
#endif
}

std::error_code diskFull() {
#ifdef _WIN32
    return {kDiskFull, std::system_category()};
#else
    return {ENOSPC, std::generic_category()};
#endif
}

}  // namespace tarvex::platform
