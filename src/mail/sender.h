#pragma once
// The sender: a thread of its own that sends the outbox's messages oldest
// first and, when the server cannot be reached, tries again later with a growing
// wait. The window never waits on it: what happened is collected as events that
// the window's thread takes and shows.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "mail/outbox.h"
#include "platform/mailer.h"

namespace tarvex::mail {

struct SendEvent {
    enum class Kind { Sent, Kept, Test } kind;
    std::string subject;
    std::string recipients;   // separated by ";"
    platform::MailResult result;
};

class Sender {
public:
    explicit Sender(Outbox& outbox);
    ~Sender();   // stops the thread; a send in progress is abandoned
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    // The server to send to; nothing is sent before it is set (the thread starts
    // with the first). Setting it (the settings were saved) tries the waiting
    // messages at once.
    void setServer(const platform::MailServer& server);
    void clearServer();
    // A message was queued: it is sent at once unless the server is failing.
    void wake(bool now = false);
    // A test message, sent on a thread of its own whatever the outbox holds; false
    // while the previous test is still going.
    bool sendTest(const platform::MailServer& server, const platform::MailEnvelope& envelope);
    // What happened since the last call; for the window's thread.
    std::vector<SendEvent> takeEvents();

    // The wait after the n-th failure in a row (from 1), in seconds.
    static int backOffSeconds(int failures);

private:
    void run();
    bool sendOne(const std::string& name, const platform::MailServer& server);
    void post(SendEvent e);

    Outbox& outbox_;
    std::mutex m_;
    std::condition_variable cv_;
    std::optional<platform::MailServer> server_;
    bool wake_ = true;
    int failures_ = 0;
    std::vector<std::string> told_;   // messages already logged as kept
    std::vector<SendEvent> events_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> testing_{false};
    std::thread test_;
    std::thread thread_;
};

}  // namespace tarvex::mail
