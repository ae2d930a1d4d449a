#pragma once
// The e-mail settings, kept in their own file beside the settings file
// ("TARVEX_EMAIL.TXT", one line of "#"-ended fields written the same safe way),
// so the settings file keeps its 20 fields for every version that reads it.
#include <functional>
#include <string>
#include <vector>

#include "platform/mailer.h"

namespace tarvex::settings {

inline constexpr const char* kMailFileName = "TARVEX_EMAIL.TXT";
inline constexpr int kMailFieldCount = 16;

struct MailSettings {
    std::string host;
    int port = 587;
    platform::MailSecurity security = platform::MailSecurity::StartTls;
    std::string user;
    // The password as stored: protected for this Windows user (platform::secrets),
    // never the clear text.
    std::string storedPassword;
    std::string sender;
    std::string recipients;       // addresses separated by ";"
    std::string subjectPrefix = "[TARVEX]";
    bool onFailure = true;
    bool dailyReport = false;
    std::string reportHour = "18:00";
    bool staleAlarm = true;

    // Something to send with: a server, a sender and at least one recipient.
    bool ready() const;
    std::vector<std::string> recipientList() const;
};

// The file of `folder`; a missing or unreadable file gives the defaults (nothing is sent).
// A file that is not one line as the program writes it is copied aside first, and
// `tell` says what was wrong and where the copy is.
MailSettings readMailSettings(const std::string& folder, const std::function<void(const std::string&)>& tell = {});
void writeMailSettings(const std::string& folder, const MailSettings& s,
                       const std::function<void(const std::string&)>& tell = {});

// The server to send to; `password` is the clear text (unprotected by the caller).
platform::MailServer mailServer(const MailSettings& s, const std::string& password);

}  // namespace tarvex::settings
