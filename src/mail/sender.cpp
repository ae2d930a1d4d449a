#include "mail/sender.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace tarvex::mail {

namespace {
std::string joined(const std::vector<std::string>& list) {
    std::string out;
    for (const auto& a : list) out += (out.empty() ? "" : ";") + a;
    return out;
}
}  // namespace

Sender::Sender(Outbox& outbox) : outbox_(outbox) {}

Sender::~Sender() {
    {
        std::lock_guard lock(m_);
        stop_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (test_.joinable()) test_.join();
}

int Sender::backOffSeconds(int failures) {
    // 5 s, 10 s, 20 s ... up to 15 minutes: a server back soon is used soon,
    // one down for the night is not hammered.
    int wait = 5;
    for (int i = 1; i < failures && wait < 900; ++i) wait *= 2;
    return std::min(wait, 900);
}

void Sender::setServer(const platform::MailServer& server) {
    {
        std::lock_guard lock(m_);
        server_ = server;
        failures_ = 0;
        wake_ = true;
    }
    cv_.notify_all();
    // Started with the first server: without one there is nothing to send, and
    // an idle thread still costs the program its stack.
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
}

void Sender::clearServer() {
    std::lock_guard lock(m_);
    server_.reset();
}

void Sender::wake(bool now) {
    {
        std::lock_guard lock(m_);
        if (now) failures_ = 0;
        // While the server fails, a new message waits its turn with the others.
        if (failures_ == 0) wake_ = true;
    }
    cv_.notify_all();
}

std::vector<SendEvent> Sender::takeEvents() {
    std::lock_guard lock(m_);
    return std::exchange(events_, {});
}

void Sender::post(SendEvent e) {
    std::lock_guard lock(m_);
    events_.push_back(std::move(e));
}

bool Sender::sendTest(const platform::MailServer& server, const platform::MailEnvelope& envelope) {
    if (testing_.exchange(true)) return false;
    if (test_.joinable()) test_.join();
    test_ = std::thread([this, server, envelope] {
        const platform::MailResult r = platform::mailer().send(server, envelope, stop_);
        post({SendEvent::Kind::Test, "", joined(envelope.to), r});
        testing_ = false;
    });
    return true;
}

void Sender::run() {
    std::unique_lock lock(m_);
    while (!stop_) {
        if (failures_ > 0) {
            // The retry: after the wait, or at once when the settings change.
            const auto wait = std::chrono::seconds(backOffSeconds(failures_));
            cv_.wait_for(lock, wait, [this] { return stop_ || failures_ == 0; });
        } else {
            cv_.wait(lock, [this] { return stop_ || (wake_ && server_); });
        }
        if (stop_) break;
        wake_ = false;
        if (!server_) continue;
        const platform::MailServer server = *server_;
        lock.unlock();
        bool failed = false;
        for (const std::string& name : outbox_.names()) {
            if (stop_) break;
            if (!sendOne(name, server)) {
                failed = true;
                break;
            }
        }
        lock.lock();
        failures_ = failed ? failures_ + 1 : 0;
    }
}

// False when the server could not take it: the message stays for the next try.
bool Sender::sendOne(const std::string& name, const platform::MailServer& server) {
    const std::optional<Queued> q = outbox_.read(name);
    if (!q) {
        // Damaged or half there: it can never be sent, and must not hold the others.
        outbox_.remove(name);
        return true;
    }
    const platform::MailResult r = platform::mailer().send(server, {q->from, q->to, q->message}, stop_);
    if (r.ok()) {
        outbox_.remove(name);
        post({SendEvent::Kind::Sent, q->subject, joined(q->to), r});
        std::lock_guard lock(m_);
        told_.erase(std::remove(told_.begin(), told_.end(), name), told_.end());
        return true;
    }
    if (stop_) return false;
    bool first = false;
    {
        std::lock_guard lock(m_);
        if (std::find(told_.begin(), told_.end(), name) == told_.end()) {
            told_.push_back(name);
            first = true;
        }
    }
    if (first) post({SendEvent::Kind::Kept, q->subject, joined(q->to), r});
    return false;
}

}  // namespace tarvex::mail
