#pragma once
// Sending files to a server off the premises: FTP, FTP over TLS (explicit or
// implicit) and SFTP. The Windows build sends with libcurl (Schannel for TLS,
// libssh2 over WinCNG for SSH); elsewhere nothing can send, and says so.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvex::platform {

enum class ServerProtocol { Ftp, FtpExplicitTls, FtpImplicitTls, Sftp };

// Where the files go, and who logs in there.
struct ServerPlace {
    ServerProtocol protocol = ServerProtocol::Ftp;
    std::string host;
    int port = 21;
    std::string folder;         // on the server, "/" separated, no trailing "/"; empty: the login folder
    std::string user;           // empty: anonymous
    std::string password;       // clear text, only in memory
    std::string knownHostsFile; // SFTP: where the server's key is pinned on first connection
    int limitSeconds = 0;       // a connection silent this long is given up; 0: no limit
};

// A file found in the server's folder.
struct RemoteFile {
    std::string name;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since 1970 (UTC); 0: the server did not say
};

// Why a transfer did not happen, in the operator's terms.
enum class SendFault {
    None,
    ServerNotFound,   // the name does not resolve
    NoConnection,     // nothing answers at that address and port
    Login,            // user or password refused
    Permission,       // the server refused the folder or the file
    Certificate,      // the server's certificate is not trusted
    HostKeyChanged,   // SFTP: not the key pinned on the first connection
    Full,             // the server has no room (quota, disk)
    TimedOut,         // the connection stalled past the time limit
    Cancelled,        // `stop` was set
    Mismatch,         // the file there is not the file sent (size or hash)
    Unavailable,      // this build cannot send
    Other,
};

struct SendResult {
    SendFault fault = SendFault::None;
    std::string detail;   // the library's or the server's own words, for the log
    bool ok() const { return fault == SendFault::None; }
};

// Bytes of the current file sent so far, and its size.
using SendProgress = std::function<void(std::uint64_t sent, std::uint64_t total)>;

// Every call connects, does its work and leaves; each blocks until done, the
// server refused, the time limit passed or `stop` was set. Called from a worker
// thread, never the window's.
class Uploader {
public:
    virtual ~Uploader() = default;
    // Connects, logs in and enters the folder (creating it when missing).
    virtual SendResult test(const ServerPlace& place, const std::atomic<bool>& stop) = 0;
    // The plain files in the folder.
    virtual SendResult list(const ServerPlace& place, std::vector<RemoteFile>& files,
                            const std::atomic<bool>& stop) = 0;
    // Sends `localPath` as `remoteName` in the folder: under a temporary name
    // first (resumed when a cut-short one of it is there), renamed when whole,
    // then its size there held against the local one (and a hash where the
    // server offers one): Mismatch otherwise.
    virtual SendResult upload(const ServerPlace& place, const std::string& localPath,
                              const std::string& remoteName, const SendProgress& progress,
                              const std::atomic<bool>& stop) = 0;
    virtual SendResult remove(const ServerPlace& place, const std::string& remoteName,
                              const std::atomic<bool>& stop) = 0;
};

Uploader& uploader();
void setUploader(Uploader* replacement);   // nullptr: back to the default

// The fault in plain Portuguese, for the operator ("servidor não encontrado").
std::string sendFaultText(const SendResult& result);

}  // namespace tarvex::platform
