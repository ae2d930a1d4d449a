#include "platform/secrets.h"

namespace tarvex::platform {

namespace {

// Until the Windows layer installs the real protection (and wherever there is
// none) nothing can protect a password: refuse, so no clear text is ever stored
// by mistake.
class NoSecrets : public Secrets {
public:
    std::string protect(const std::string&) override { return {}; }
    std::optional<std::string> unprotect(const std::string&) override { return std::nullopt; }
};

Secrets* current = nullptr;

}  // namespace

void setSecrets(Secrets* replacement) { current = replacement; }

Secrets& secrets() {
    static NoSecrets none;
    return current ? *current : none;
}

}  // namespace tarvex::platform
