#pragma once
// The outbox: a folder beside the program with one file per message still to
// send, so nothing is lost when the network, the server or the program is down.
#include <optional>
#include <string>
#include <vector>

namespace tarvex::mail {

inline constexpr const char* kOutboxFolder = "EMAIL_SAIDA";
// Messages kept at most; beyond it the oldest reports go first, failures stay.
inline constexpr int kOutboxLimit = 50;

struct Queued {
    std::string name;         // the file's name: its order is the order of queueing
    char kind = 'F';
    std::string from;
    std::vector<std::string> to;
    std::string subject;      // as the operator reads it (for the log)
    std::string message;
};

class Outbox {
public:
    explicit Outbox(std::string folder) : folder_(std::move(folder)) {}
    const std::string& folder() const { return folder_; }

    // Writes the message whole (a file is there complete or not at all); the
    // names of reports dropped to stay within the limit are returned.
    bool put(const Queued& q, std::vector<std::string>& dropped);
    // The files' names, oldest first.
    std::vector<std::string> names() const;
    std::optional<Queued> read(const std::string& name) const;
    void remove(const std::string& name);
    // What a program ended while it wrote a message left behind: a whole one is put
    // in place, to be sent as the others; one cut short is kept aside (".incompleto")
    // and never sent. One text per message, for the log.
    std::vector<std::string> finishInterrupted();

private:
    std::string folder_;      // with its trailing separator
    int sequence_ = 0;
};

}  // namespace tarvex::mail
