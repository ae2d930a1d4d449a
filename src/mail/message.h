#pragma once
// An e-mail message as the server receives it: headers with a readable subject
// (encoded when it is not plain ASCII) and a UTF-8 plain-text body.
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tarvex::mail {

// What a message says; texts are Windows-1252, as all of the program's.
struct Letter {
    char kind = 'F';          // F failure (or its end), A stale-backup alarm, R daily report, T test
    std::string subject;
    std::string body;         // lines separated by CR LF or LF
};

// The subject as a header value: plain ASCII as it is, anything else as UTF-8
// encoded words short enough for a header line.
std::string encodeHeader(const std::string& cp1252);
// The whole message, CR LF lines, the body in base64 so no server alters it.
std::string composeMessage(const Letter& letter, const std::string& from, const std::vector<std::string>& to,
                           const LocalTime& when, const std::string& messageId);
std::string base64(const std::string& bytes);
// The body of a message composeMessage made, as UTF-8; nothing when it is not
// one whole base64 body in 76-character lines (a message cut short).
std::optional<std::string> bodyOf(const std::string& message);

}  // namespace tarvex::mail
