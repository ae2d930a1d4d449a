#pragma once
// Secrets out of texts that leave the program (e-mail) or stay in its log: the
// values of the database tools' -password and -user switches (any case, any
// abbreviation they accept), of ISC_PASSWORD= and ISC_USER=, and the
// user:password of an address. Each becomes "****"; the rest is kept as it is.
#include <string>

namespace tarvex {

inline constexpr const char* kMasked = "****";

std::string maskSecrets(const std::string& text);

}  // namespace tarvex
