#include "platform/secrets.h"

namespace tarvex::platform {

namespace {

Secrets* current = nullptr;

#ifndef _WIN32
// Off Windows nothing can protect a password: refuse, so no clear text is ever
// stored by mistake.
class NoSecrets : public Secrets {
public:
    std::string protect(const std::string&) override { return {}; }
    std::optional<std::string> unprotect(const std::string&) override { return std::nullopt; }
};
#endif

}  // namespace

Secrets& defaultSecrets();

void setSecrets(Secrets* replacement) { current = replacement; }

Secrets& secrets() { return current ? *current : defaultSecrets(); }

#ifndef _WIN32
Secrets& defaultSecrets() {
    static NoSecrets none;
    return none;
}
#endif

}  // namespace tarvex::platform
