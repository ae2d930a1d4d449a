#pragma once
// Passwords kept in TARVEX's text files (the e-mail password, a ZIP task's
// password) are stored protected for the Windows user, never in clear.
#include <optional>
#include <string>

namespace tarvex::platform {

class Secrets {
public:
    virtual ~Secrets() = default;
    // Printable text (letters and digits only, so it fits any field of a text
    // file) that only this Windows user on this PC turns back into `clear`.
    // Empty when the system refused to protect it.
    virtual std::string protect(const std::string& clear) = 0;
    // The clear text; nullopt when `stored` was protected by another user or on
    // another PC, or is damaged: the operator must type the password again.
    virtual std::optional<std::string> unprotect(const std::string& stored) = 0;
};

// What the program installed (WinMain: DPAPI; tests: their own); until then, and
// after setSecrets(nullptr), one that refuses to protect anything.
Secrets& secrets();
void setSecrets(Secrets* replacement);

}  // namespace tarvex::platform
