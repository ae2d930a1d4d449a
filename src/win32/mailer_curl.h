#pragma once
// The e-mail sender of the Windows build: libcurl's SMTP over Schannel, so the
// certificates Windows trusts are the ones trusted here.
#include "platform/mailer.h"

namespace tarvex::win32 {

class CurlMailer : public platform::Mailer {
public:
    CurlMailer();    // before any other thread starts: libcurl's global set-up
    ~CurlMailer() override;
    CurlMailer(const CurlMailer&) = delete;
    CurlMailer& operator=(const CurlMailer&) = delete;
    platform::MailResult send(const platform::MailServer& server, const platform::MailEnvelope& envelope,
                              const std::atomic<bool>& stop) override;
};

}  // namespace tarvex::win32
