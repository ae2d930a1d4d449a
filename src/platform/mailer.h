#pragma once
// Sending one e-mail message to an SMTP server. The Windows build sends with
// libcurl over Schannel; elsewhere nothing can send, and says so.
#include <atomic>
#include <string>
#include <vector>

namespace tarvex::platform {

enum class MailSecurity { None = 0, StartTls = 1, Tls = 2 };

struct MailServer {
    std::string host;
    int port = 587;
    MailSecurity security = MailSecurity::StartTls;
    std::string user;       // empty: no login
    std::string password;   // clear text, only in memory
};

struct MailEnvelope {
    std::string from;
    std::vector<std::string> to;
    std::string message;    // the whole message, headers and body, CR LF lines
};

// Why a message did not go, in the operator's terms.
enum class MailFault {
    None,
    ServerNotFound,     // the name does not resolve
    NoConnection,       // nothing answers at that address and port
    Login,              // user or password refused
    Certificate,        // the server's certificate is not trusted
    Secure,             // the secure connection could not be made
    Sender,             // the server refused the sender
    Recipient,          // the server refused a recipient
    Unavailable,        // this build cannot send
    Other,
};

struct MailResult {
    MailFault fault = MailFault::None;
    std::string detail;     // the library's or server's own words, for the log
    bool ok() const { return fault == MailFault::None; }
};

class Mailer {
public:
    virtual ~Mailer() = default;
    // Blocks until the server has taken the message or refused it, or `stop` is
    // set; called from a worker thread, never the window's.
    virtual MailResult send(const MailServer& server, const MailEnvelope& envelope,
                            const std::atomic<bool>& stop) = 0;
};

Mailer& mailer();
void setMailer(Mailer* replacement);   // nullptr: back to the default

// The fault in plain Portuguese, for the operator.
std::string mailFaultText(const MailResult& result);

// The PC's name, so a person looking after several PCs knows which one wrote.
std::string computerName();

}  // namespace tarvex::platform
