#pragma once
// The e-mail sender of the Windows build: libcurl's SMTP over Schannel, so the
// certificates Windows trusts are the ones trusted here.
#include <mutex>

#include "platform/mailer.h"

namespace tarvex::win32 {

class CurlMailer : public platform::Mailer {
public:
    // libcurl's global set-up loads the security libraries, which start-up need
    // not wait for: made by the first send where libcurl's set-up is thread-safe,
    // here otherwise (so before any other thread starts).
    CurlMailer();
    ~CurlMailer() override;
    CurlMailer(const CurlMailer&) = delete;
    CurlMailer& operator=(const CurlMailer&) = delete;
    platform::MailResult send(const platform::MailServer& server, const platform::MailEnvelope& envelope,
                              const std::atomic<bool>& stop) override;

private:
    void setUp();
    std::once_flag setUp_;
    bool ready_ = false;
};

}  // namespace tarvex::win32
