#pragma once
// Type "08": a local folder's archives sent to a server, proven there, and the
// server's copies kept to the newest N. Runs off the window's thread; the
// uploader (platform::uploader()) does the talking.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/uploader.h"

namespace tarvex::exec {

struct SendJob {
    std::string folder;            // the local folder, expanded
    std::string masks;             // ";"-separated; date placeholders stand for any text
    platform::ServerPlace place;
    int keep = 0;                  // the newest N stay on the server; 0: all stay
};

struct SendFile {
    std::string name;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};

// What a run would do, found by listing both folders and changing nothing.
struct SendPlan {
    std::vector<SendFile> send;        // oldest first, so the server's times keep their order
    std::vector<std::string> already;  // on the server with the same size and a time not older
    // Once the rest is sent: the files on the server that fit the masks and are no
    // longer here, beyond the newest N counting the ones here first.
    std::vector<std::string> remove;
    bool keepApplies = false;          // false: masks that fit any name never delete on the server
    std::string failure;               // why nothing can be done; empty when all is well
};

// How far a run has come.
struct SendNote {
    std::size_t file = 0, files = 0;   // the file being sent, counted from 1
    std::string name;
    std::uint64_t sent = 0, total = 0;
};
using SendNoteFn = std::function<void(const SendNote&)>;

struct SendOutcome {
    std::size_t sent = 0, already = 0;
    std::uint64_t bytes = 0;
    std::vector<std::string> removed;
    platform::SendFault fault = platform::SendFault::None;
    std::string failure;   // the operator's reason naming the file; empty when all was sent and proven
    std::string detail;    // the server's or library's words, for the log
};

SendPlan planSend(const SendJob& job, const std::atomic<bool>& stop);
// Sends what the plan says, lists the server again to prove every file is
// there whole, then removes the plan's older files.
SendOutcome runSend(const SendJob& job, const SendNoteFn& note, const std::atomic<bool>& stop);

// "3 arquivos enviados, 12,5 MB" (and how many were there already).
std::string sendSummary(const SendOutcome& outcome);

}  // namespace tarvex::exec
