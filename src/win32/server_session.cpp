#include "win32/server_session.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>

#include "platform/cp1252.h"
#include "win32/certificate_check.h"

namespace tarvex::win32 {

using platform::SendFault;
using platform::SendResult;
using platform::ServerProtocol;

namespace {

std::string escaped(const std::string& cp1252) {
    const std::string utf8 = platform::cp1252ToUtf8(cp1252);
    char* e = curl_easy_escape(nullptr, utf8.data(), static_cast<int>(utf8.size()));
    std::string out = e ? e : "";
    curl_free(e);
    return out;
}

// The folder as URL path segments, each escaped.
std::string folderPath(const std::string& folder) {
    std::string out;
    size_t at = folder.empty() || folder[0] != '/' ? 0 : 1;
    while (at < folder.size()) {
        size_t end = folder.find('/', at);
        if (end == std::string::npos) end = folder.size();
        if (end > at) out += escaped(folder.substr(at, end - at)) + "/";
        at = end + 1;
    }
    return out;
}

std::string quoted(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

bool says(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

int stopRequested(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

// The server's reply says more than curl's code: a refused STOR, STOR's end or RNTO.
SendFault faultOfReply(long reply) {
    switch (reply) {
    case 530: case 532: return SendFault::Login;
    case 452: case 552: return SendFault::Full;
    case 450: case 550: case 553: return SendFault::Permission;
    default: return SendFault::None;
    }
}

SendFault faultOfCode(CURLcode code, const char* detail) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return SendFault::ServerNotFound;
    case CURLE_COULDNT_CONNECT: return SendFault::NoConnection;
    case CURLE_OPERATION_TIMEDOUT: return SendFault::TimedOut;
    case CURLE_LOGIN_DENIED: return SendFault::Login;
    case CURLE_ABORTED_BY_CALLBACK: return SendFault::Cancelled;
    case CURLE_REMOTE_DISK_FULL: return SendFault::Full;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND: return SendFault::Permission;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: return SendFault::Certificate;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_USE_SSL_FAILED:
        return says(detail, "certificate") || says(detail, "SEC_E_UNTRUSTED_ROOT") ||
                       says(detail, "SEC_E_WRONG_PRINCIPAL") || says(detail, "CERT_E_CN_NO_MATCH")
                   ? SendFault::Certificate
                   : SendFault::NoConnection;
    default: return SendFault::Other;
    }
}

}  // namespace

// curl asks Windows after every send how much to keep queued on the socket
// (SIO_IDEAL_SEND_BACKLOG_QUERY) and sets the send buffer to that. Wine answers
// a fixed 64 KB whatever the link, so the buffer is pinned small: each send then
// moves 128 KB at most, each costs a dozen trips through Wine's server, and an
// upload crawls at a third of the link's speed. Under Wine the question goes
// unanswered, as on a Windows that lacks it, and the host system sizes the
// buffer itself; on Windows the real answer is passed on. curl's calls reach this
// through the import slot defined below, which the linker takes before ws2_32's.
namespace {

using WsaIoctl = int(WSAAPI*)(SOCKET, DWORD, void*, DWORD, void*, DWORD, DWORD*, WSAOVERLAPPED*,
                              LPWSAOVERLAPPED_COMPLETION_ROUTINE);

bool underWine() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

int WSAAPI socketControl(SOCKET s, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* done,
                         WSAOVERLAPPED* overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE routine) {
    constexpr DWORD kIdealSendBacklogQuery = 0x4004747B;
    if (code == kIdealSendBacklogQuery && underWine()) {
        WSASetLastError(WSAEOPNOTSUPP);
        return SOCKET_ERROR;
    }
    static const auto real =
        reinterpret_cast<WsaIoctl>(GetProcAddress(LoadLibraryW(L"ws2_32.dll"), "WSAIoctl"));
    return real(s, code, in, inSize, out, outSize, done, overlapped, routine);
}

}  // namespace

extern "C" {
extern const WsaIoctl __imp_WSAIoctl;
const WsaIoctl __imp_WSAIoctl = socketControl;
}

// Unknown: pinned now. Known and the same: on. Known and different: refused, and said why.
int checkHostKey(CURL*, const curl_khkey*, const curl_khkey*, curl_khmatch match, void* user) {
    auto* session = static_cast<ServerSession*>(user);
    switch (match) {
    case CURLKHMATCH_OK: return CURLKHSTAT_FINE;
    case CURLKHMATCH_MISSING: return CURLKHSTAT_FINE_ADD_TO_FILE;
    default: session->keyChanged_ = true; return CURLKHSTAT_REJECT;
    }
}

ServerSession::ServerSession(const platform::ServerPlace& place, const std::atomic<bool>& stop)
    : place_(place), stop_(stop), curl_(curl_easy_init()), multi_(curl_multi_init()) {
    if (curl_) setCommon();
}

ServerSession::~ServerSession() {
    if (curl_) curl_easy_cleanup(curl_);
    if (multi_) curl_multi_cleanup(multi_);
    curl_slist_free_all(before_);
}

std::string ServerSession::folderUrl() const {
    static const char* const schemes[] = {"ftp://", "ftp://", "ftps://", "sftp://"};
    const std::string host = place_.host.find(':') != std::string::npos ? "[" + place_.host + "]" : place_.host;
    std::string url = schemes[static_cast<int>(place_.protocol)] + host + ":" + std::to_string(place_.port) + "/";
    const bool absolute = !place_.folder.empty() && place_.folder[0] == '/';
    // FTP paths are the login folder's unless they begin with an escaped "/"; SFTP's are absolute unless "~/".
    if (sftp() && !absolute) url += "~/";
    if (!sftp() && absolute) url += "%2F";
    return url + folderPath(place_.folder);
}

std::string ServerSession::fileUrl(const std::string& name) const { return folderUrl() + escaped(name); }

std::string ServerSession::sftpPath(const std::string& name) const {
    std::string folder = place_.folder;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return quoted(platform::cp1252ToUtf8(folder.empty() ? name : folder + "/" + name));
}

// These commands go before curl changes folder: on a new connection in the login
// folder, later wherever the last request left it, so from then on the path is
// made whole with the login folder (the entry path curl asked with PWD). Commands
// sent after the request (CURLOPT_POSTQUOTE) would need no path, but curl waits
// for their answers outside its loop, where `stop` is not seen.
std::string ServerSession::ftpPath(const std::string& name) const {
    std::string path = place_.folder;
    while (!path.empty() && path.back() == '/') path.pop_back();
    path = platform::cp1252ToUtf8(path.empty() ? name : path + "/" + name);
    char* entry = nullptr;
    if (path[0] == '/' || curl_easy_getinfo(curl_, CURLINFO_FTP_ENTRY_PATH, &entry) != CURLE_OK || !entry)
        return path;
    const std::string base = entry;
    return base + (!base.empty() && base.back() == '/' ? "" : "/") + path;
}

std::vector<std::string> ServerSession::sftpMakeFolder() const {
    std::vector<std::string> commands;
    const std::string& f = place_.folder;
    for (size_t end = f.find('/', 1); ; end = f.find('/', end + 1)) {
        const std::string step = f.substr(0, end);
        if (!step.empty() && step != "/") commands.push_back("*mkdir " + quoted(platform::cp1252ToUtf8(step)));
        if (end == std::string::npos) break;
    }
    return commands;
}

void ServerSession::setCommon() {
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, detail_);
    if (place_.protocol == ServerProtocol::FtpExplicitTls)
        curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    if (tls()) curl_easy_setopt(curl_, CURLOPT_CERTINFO, 1L);   // for windowsTrusts
    // A certificate without a revocation list to ask (a company's own) is not refused for that alone.
    curl_easy_setopt(curl_, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    curl_easy_setopt(curl_, CURLOPT_USERNAME, place_.user.empty() ? "anonymous" : place_.user.c_str());
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, place_.user.empty() ? "tarvex@" : place_.password.c_str());
    if (sftp()) {
        curl_easy_setopt(curl_, CURLOPT_SSH_AUTH_TYPES, static_cast<long>(CURLSSH_AUTH_PASSWORD |
                                                                          CURLSSH_AUTH_KEYBOARD));
        if (!place_.knownHostsFile.empty()) {
            curl_easy_setopt(curl_, CURLOPT_SSH_KNOWNHOSTS, place_.knownHostsFile.c_str());
            curl_easy_setopt(curl_, CURLOPT_SSH_KEYFUNCTION, checkHostKey);
            curl_easy_setopt(curl_, CURLOPT_SSH_KEYDATA, this);
        }
    }
    // Behind a router the address in the server's PASV answer is often its inside one.
    curl_easy_setopt(curl_, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    curl_easy_setopt(curl_, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
    if (place_.limitSeconds > 0) {
        const long limit = place_.limitSeconds;
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, limit);
        curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, limit);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, limit);
    }
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, stopRequested);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&stop_));
    curl_easy_setopt(curl_, CURLOPT_QUICK_EXIT, 1L);
}

void ServerSession::fresh() {
    for (CURLoption o : {CURLOPT_UPLOAD, CURLOPT_NOBODY, CURLOPT_DIRLISTONLY})
        curl_easy_setopt(curl_, o, 0L);
    curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(curl_, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(-1));
    curl_easy_setopt(curl_, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, nullptr);
    // Nothing of the last request's receivers stays: curl would hand a reply to
    // curl's own writer with the last one's data, which is not a FILE.
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, nullptr);
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(curl_, CURLOPT_READFUNCTION, nullptr);
    curl_easy_setopt(curl_, CURLOPT_SEEKFUNCTION, nullptr);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, stopRequested);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&stop_));
    curl_slist_free_all(before_);
    before_ = nullptr;
    detail_[0] = 0;
}

void ServerSession::before(const std::vector<std::string>& commands) {
    for (const std::string& c : commands) before_ = curl_slist_append(before_, c.c_str());
    curl_easy_setopt(curl_, CURLOPT_QUOTE, before_);
}

SendResult ServerSession::perform() {
    if (!curl_) return {SendFault::Other, "curl_easy_init"};
    if (stop_.load()) return {SendFault::Cancelled, ""};
    lastCode_ = run();
    if (std::string why; tls() && !windowsTrusts(curl_, why)) return {SendFault::Certificate, why};
    return resultOf(lastCode_);
}

namespace {

struct Sockets {
    fd_set reading, writing, failing;
    int highest = -1;
    explicit Sockets(CURLM* multi) {
        FD_ZERO(&reading);
        FD_ZERO(&writing);
        FD_ZERO(&failing);
        curl_multi_fdset(multi, &reading, &writing, &failing, &highest);
    }
};

// curl's step over all its transfers, as curl_multi_perform() takes it, which
// also tells the socket interface below which sockets are in use. (curl 7.88
// leaves some FTP steps, a data connection being made, with neither a socket nor
// a timer to wake them: they move only when every transfer is stepped.)
CURLMcode stepAll(CURLM* multi, int* running) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return curl_multi_socket_all(multi, running);
#pragma GCC diagnostic pop
}

// Until a socket of the transfer is ready or curl's next timer is due (at most a
// tenth of a second, so `stop` is seen even while a name is looked up), then a step.
// With no socket to wait on (a data connection being made, a name looked up) the
// first steps come soon: a data connection on a near server is made in less than
// a millisecond, and each FTP transfer makes one.
CURLMcode stepWhenReady(CURLM* multi, int* running, int& socketless) {
    Sockets ready(multi);
    long ms = 100;
    curl_multi_timeout(multi, &ms);
    ms = ms < 0 ? 100 : std::min(ms, 100L);
    timeval wait{0, ms * 1000};
    if (ready.highest >= 0) {
        socketless = 0;
        select(ready.highest + 1, &ready.reading, &ready.writing, &ready.failing, &wait);
    } else if (socketless++ > 0) {
        Sleep(static_cast<DWORD>(std::min(ms, socketless < 10 ? 1L : 10L)));
    }
    return stepAll(multi, running);
}

// The next step of a transfer that just wrote: straight on to the socket it writes
// to, without asking first (a full socket takes nothing, and then the loop waits).
// False when curl is not writing.
bool writeOn(CURLM* multi, int* running, CURLMcode& code) {
    const Sockets wanted(multi);
    if (wanted.writing.fd_count == 0) return false;
    for (u_int i = 0; i < wanted.writing.fd_count && code == CURLM_OK; ++i)
        code = curl_multi_socket_action(multi, wanted.writing.fd_array[i], CURL_CSELECT_OUT, running);
    return true;
}

curl_off_t bytesSent(CURL* curl) {
    curl_off_t up = 0;
    curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &up);
    return up;
}

}  // namespace

// Driven here with select(), which reads the sockets' state: curl's own wait on
// Windows (WSAEventSelect) can miss under Wine that a socket takes data again,
// and each miss costs up to a second, a large upload many of them. While an
// upload moves, each step goes straight on to write (curl's socket interface,
// told the socket is ready) instead of asking the system first: under Wine
// every question about a socket is a trip through Wine's server.
CURLcode ServerSession::run() {
    if (!multi_ || curl_multi_add_handle(multi_, curl_) != CURLM_OK) return curl_easy_perform(curl_);
    int running = 1;
    CURLMcode code = stepAll(multi_, &running);
    int socketless = 0;
    for (curl_off_t sent = 0; code == CURLM_OK && running && !stop_.load();) {
        const curl_off_t before = sent;
        sent = bytesSent(curl_);
        if (sent == before || !writeOn(multi_, &running, code)) code = stepWhenReady(multi_, &running, socketless);
    }
    CURLcode result = stop_.load() ? CURLE_ABORTED_BY_CALLBACK : CURLE_FAILED_INIT;
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(multi_, &left))
        if (m->msg == CURLMSG_DONE && m->easy_handle == curl_) result = m->data.result;
    curl_multi_remove_handle(multi_, curl_);
    return result;
}

SendResult ServerSession::resultOf(CURLcode code) const {
    if (code == CURLE_OK) return {};
    long reply = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &reply);
    std::string text = detail_[0] ? detail_ : curl_easy_strerror(code);
    if (reply >= 400) text += " (resposta " + std::to_string(reply) + ")";
    SendFault fault = faultOfReply(reply >= 400 ? reply : 0);
    if (fault == SendFault::None) fault = faultOfCode(code, detail_);
    if (keyChanged_) fault = SendFault::HostKeyChanged;
    if (stop_.load()) fault = SendFault::Cancelled;
    // The stall's limit leads the detail, so the operator's text can name it.
    if (fault == SendFault::TimedOut) text = std::to_string(place_.limitSeconds) + " s: " + text;
    return {fault, platform::utf8ToCp1252(text)};
}

}  // namespace tarvex::win32
