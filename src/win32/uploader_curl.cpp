#include "win32/uploader_curl.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

#include "platform/cp1252.h"
#include "platform/files.h"
#include "win32/file_hash.h"
#include "win32/remote_listing.h"
#include "win32/server_session.h"

namespace tarvex::win32 {

using platform::RemoteFile;
using platform::SendFault;
using platform::SendResult;

namespace {

const char kPartial[] = ".tarvex-parcial";
// Large reads and writes, the most curl takes: under Wine every call into the
// system is dear.
constexpr long kBuffer = 2L << 20;

size_t keepText(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

// A listing over TLS whose data channel ends without TLS's own goodbye
// (close_notify): some servers never send it, and Wine's Schannel never reports
// it. All the listing has come by then; a cut one can only hide files, which
// plain FTP cannot tell either, and a file sent is still checked by its size.
bool cutWithoutGoodbye(const ServerSession& s, const SendResult& r) {
    return s.tls() && s.lastCode() == CURLE_RECV_ERROR && r.fault != SendFault::Certificate;
}

// MLSD where the server knows it (exact sizes and UTC times), else LIST.
SendResult listFolder(ServerSession& s, std::vector<RemoteFile>& files) {
    std::string text;
    s.fresh();
    if (s.sftp()) s.before(s.sftpMakeFolder());
    curl_easy_setopt(s.handle(), CURLOPT_URL, s.folderUrl().c_str());
    curl_easy_setopt(s.handle(), CURLOPT_WRITEFUNCTION, keepText);
    curl_easy_setopt(s.handle(), CURLOPT_WRITEDATA, &text);
    if (!s.sftp()) {
        curl_easy_setopt(s.handle(), CURLOPT_CUSTOMREQUEST, "MLSD");
        SendResult r = s.perform();
        long reply = 0;
        curl_easy_getinfo(s.handle(), CURLINFO_RESPONSE_CODE, &reply);
        if (r.ok() || cutWithoutGoodbye(s, r)) {
            files = readMlsd(text);
            return {};
        }
        if (reply != 500 && reply != 501 && reply != 502) return r;
        text.clear();
        curl_easy_setopt(s.handle(), CURLOPT_CUSTOMREQUEST, nullptr);
    }
    SendResult r = s.perform();
    if (!r.ok() && !cutWithoutGoodbye(s, r)) return r;
    files = readList(text, std::time(nullptr));
    return {};
}

const RemoteFile* find(const std::vector<RemoteFile>& files, const std::string& name) {
    for (const RemoteFile& f : files)
        if (f.name == name) return &f;
    return nullptr;
}

struct Source {
    std::FILE* file = nullptr;
    std::uint64_t size = 0;
    std::uint64_t from = 0;
    const platform::SendProgress* progress;
    const std::atomic<bool>* stop;
};

size_t readSource(char* to, size_t size, size_t count, void* user) {
    auto* src = static_cast<Source*>(user);
    const size_t n = std::fread(to, 1, size * count, src->file);
    return n == 0 && std::ferror(src->file) ? CURL_READFUNC_ABORT : n;
}

int seekSource(void* user, curl_off_t offset, int origin) {
    return _fseeki64(static_cast<Source*>(user)->file, offset, origin) == 0 ? CURL_SEEKFUNC_OK
                                                                           : CURL_SEEKFUNC_FAIL;
}

int reportSent(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
    auto* src = static_cast<Source*>(user);
    if (*src->progress) (*src->progress)(src->from + static_cast<std::uint64_t>(sent), src->size);
    return src->stop->load() ? 1 : 0;
}

// Sent under the temporary name, from `src.from` on.
SendResult sendAs(ServerSession& s, Source& src, const std::string& temp) {
    s.fresh();
    CURL* c = s.handle();
    curl_easy_setopt(c, CURLOPT_URL, s.fileUrl(temp).c_str());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_UPLOAD_BUFFERSIZE, kBuffer);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(src.size));
    curl_easy_setopt(c, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(src.from));
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readSource);
    curl_easy_setopt(c, CURLOPT_READDATA, &src);
    curl_easy_setopt(c, CURLOPT_SEEKFUNCTION, seekSource);
    curl_easy_setopt(c, CURLOPT_SEEKDATA, &src);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, reportSent);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &src);
    return s.perform();
}

SendResult commands(ServerSession& s, const std::vector<std::string>& list) {
    s.fresh();
    curl_easy_setopt(s.handle(), CURLOPT_URL, s.folderUrl().c_str());
    curl_easy_setopt(s.handle(), CURLOPT_NOBODY, 1L);
    s.before(list);
    return s.perform();
}

// The whole file takes its name. Where one of that name is there and the server
// will not rename over it, that one goes first.
SendResult giveName(ServerSession& s, const std::string& temp, const std::string& name) {
    if (s.sftp()) return commands(s, {"*rm " + s.sftpPath(name), "rename " + s.sftpPath(temp) + " " + s.sftpPath(name)});
    const std::vector<std::string> rename = {"RNFR " + s.ftpPath(temp), "RNTO " + s.ftpPath(name)};
    SendResult r = commands(s, rename);
    if (r.ok() || r.fault != SendFault::Permission || !commands(s, {"DELE " + s.ftpPath(name)}).ok()) return r;
    return commands(s, rename);
}

// A SHA-256 in a 2xx reply: 64 hex digits standing alone.
std::string hashIn(const std::string& reply) {
    if (reply.size() < 4 || reply[0] != '2') return "";
    for (size_t at = 0; (at = reply.find_first_of("0123456789abcdefABCDEF", at)) != std::string::npos;) {
        const size_t end = std::min(reply.find_first_not_of("0123456789abcdefABCDEF", at), reply.size());
        if (end - at == 64 && (at == 0 || reply[at - 1] == ' ')) {
            std::string hex = reply.substr(at, 64);
            for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return hex;
        }
        at = end;
    }
    return "";
}

// What an FTP server tells of a file on the command connection: its size (SIZE)
// and its SHA-256 (HASH, or the older XSHA256) where it offers one, as most do not.
struct Told {
    std::optional<std::uint64_t> size;
    std::string hash;
};

// "213 <digits>", SIZE's answer.
std::optional<std::uint64_t> sizeIn(const std::string& reply) {
    if (reply.rfind("213 ", 0) != 0) return std::nullopt;
    const size_t end = reply.find_last_not_of(" \r\n") + 1;
    std::uint64_t n = 0;
    if (end <= 4) return std::nullopt;
    const auto [at, error] = std::from_chars(reply.data() + 4, reply.data() + end, n);
    return error == std::errc() && at == reply.data() + end ? std::optional(n) : std::nullopt;
}

size_t keepTold(char* data, size_t size, size_t count, void* user) {
    auto* told = static_cast<Told*>(user);
    const std::string reply(data, size * count);
    if (!told->size) told->size = sizeIn(reply);
    if (told->hash.empty()) told->hash = hashIn(reply);
    return size * count;
}

// Asked in one exchange, with no data connection as a listing takes.
Told serverTells(ServerSession& s, const std::string& name) {
    Told told;
    const std::string path = s.ftpPath(name);
    s.fresh();
    curl_easy_setopt(s.handle(), CURLOPT_HEADERFUNCTION, keepTold);
    curl_easy_setopt(s.handle(), CURLOPT_HEADERDATA, &told);
    curl_easy_setopt(s.handle(), CURLOPT_URL, s.folderUrl().c_str());
    curl_easy_setopt(s.handle(), CURLOPT_NOBODY, 1L);
    s.before({"*SIZE " + path, "*OPTS HASH SHA-256", "*HASH " + path, "*XSHA256 " + path});
    return s.perform().ok() ? told : Told{};
}

// The file there, still under the temporary name, held against the one sent:
// its size (from the listing where the server will not say it), and its SHA-256
// where the server tells it (FTP).
SendResult check(ServerSession& s, const Source& src, const std::string& localPath, const std::string& temp) {
    const Told told = s.sftp() ? Told{} : serverTells(s, temp);
    std::uint64_t there = told.size.value_or(0);
    if (!told.size) {
        std::vector<RemoteFile> files;
        if (SendResult r = listFolder(s, files); !r.ok()) return r;
        const RemoteFile* sent = find(files, temp);
        there = sent ? sent->size : 0;
    }
    if (there != src.size)
        return {SendFault::Mismatch,
                temp + ": " + std::to_string(there) + " bytes no servidor, " + std::to_string(src.size) + " enviados"};
    if (!told.hash.empty() && told.hash != sha256Hex(localPath))
        return {SendFault::Mismatch, temp + ": o SHA-256 no servidor é outro (" + told.hash + ")"};
    return {};
}

}  // namespace

SendResult CurlUploader::test(const platform::ServerPlace& place, const std::atomic<bool>& stop) {
    std::vector<RemoteFile> files;
    return list(place, files, stop);
}

SendResult CurlUploader::list(const platform::ServerPlace& place, std::vector<RemoteFile>& files,
                              const std::atomic<bool>& stop) {
    ServerSession s(place, stop);
    files.clear();
    return listFolder(s, files);
}

SendResult CurlUploader::upload(const platform::ServerPlace& place, const std::string& localPath,
                                const std::string& remoteName, const platform::SendProgress& progress,
                                const std::atomic<bool>& stop) {
    std::error_code error;
    const auto path = platform::fsPath(localPath);
    Source src{_wfopen(path.c_str(), L"rb"), std::filesystem::file_size(path, error), 0, &progress, &stop};
    if (!src.file || error) {
        if (src.file) std::fclose(src.file);
        return {SendFault::Other, "não foi possível ler " + localPath};
    }
    ServerSession s(place, stop);
    const std::string temp = remoteName + kPartial;
    std::vector<RemoteFile> there;
    SendResult r = listFolder(s, there);
    // A cut-short copy of this file goes on from where it stopped.
    if (const RemoteFile* partial = find(there, temp); r.ok() && partial && partial->size < src.size)
        src.from = partial->size;
    if (r.ok()) r = sendAs(s, src, temp);
    std::fclose(src.file);
    if (r.ok()) r = check(s, src, localPath, temp);
    return r.ok() ? giveName(s, temp, remoteName) : r;
}

SendResult CurlUploader::remove(const platform::ServerPlace& place, const std::string& remoteName,
                                const std::atomic<bool>& stop) {
    ServerSession s(place, stop);
    return commands(s, {s.sftp() ? "rm " + s.sftpPath(remoteName) : "DELE " + s.ftpPath(remoteName)});
}

}  // namespace tarvex::win32
