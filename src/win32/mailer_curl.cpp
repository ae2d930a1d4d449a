#include "win32/mailer_curl.h"

#include <curl/curl.h>

#include <atomic>
#include <cstring>
#include <string>

namespace tarvex::win32 {

namespace {

using platform::MailFault;

struct Upload {
    const std::string& bytes;
    size_t at = 0;
};

size_t readUpload(char* to, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    const size_t n = std::min(size * count, up->bytes.size() - up->at);
    std::memcpy(to, up->bytes.data() + up->at, n);
    up->at += n;
    return n;
}

int stopRequested(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

// The transfer, with the stop flag looked at every tenth of a second whatever curl
// is doing (a name lookup calls no progress function). Stopped, the lookup's thread
// is left to end by itself (quick exit), never waited for.
CURLcode performUnlessStopped(CURL* curl, const std::atomic<bool>& stop) {
    CURLM* multi = curl_multi_init();
    if (!multi || curl_multi_add_handle(multi, curl) != CURLM_OK) {
        if (multi) curl_multi_cleanup(multi);
        return curl_easy_perform(curl);
    }
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    int running = 1;
    while (running && !stop.load()) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running) curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(multi, &left))
        if (m->msg == CURLMSG_DONE) result = m->data.result;
    curl_multi_remove_handle(multi, curl);
    curl_multi_cleanup(multi);
    return result;
}

bool says(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

MailFault faultOf(CURLcode code, const char* detail) {
    switch (code) {
    case CURLE_OK: return MailFault::None;
    case CURLE_COULDNT_RESOLVE_HOST: return MailFault::ServerNotFound;
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT: return MailFault::NoConnection;
    case CURLE_LOGIN_DENIED: return MailFault::Login;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: return MailFault::Certificate;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_USE_SSL_FAILED:
        // A certificate for another name is a certificate fault too, not a broken link.
        return says(detail, "certificate") || says(detail, "SEC_E_UNTRUSTED_ROOT") ||
                       says(detail, "SEC_E_WRONG_PRINCIPAL") || says(detail, "CERT_E_CN_NO_MATCH")
                   ? MailFault::Certificate
                   : MailFault::Secure;
    default: break;
    }
    // A refused envelope comes back as a failed send, with the command named.
    if (says(detail, "RCPT")) return MailFault::Recipient;
    if (says(detail, "MAIL failed")) return MailFault::Sender;
    return MailFault::Other;
}

}  // namespace

CurlMailer::CurlMailer() {
    if (!(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_THREADSAFE)) setUp();
}

CurlMailer::~CurlMailer() {
    if (ready_) curl_global_cleanup();
}

void CurlMailer::setUp() {
    std::call_once(setUp_, [this] { ready_ = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
}

platform::MailResult CurlMailer::send(const platform::MailServer& server, const platform::MailEnvelope& envelope,
                                      const std::atomic<bool>& stop) {
    setUp();
    CURL* curl = curl_easy_init();
    if (!curl) return {MailFault::Other, "curl_easy_init"};
    const bool tls = server.security == platform::MailSecurity::Tls;
    const std::string url = std::string(tls ? "smtps://" : "smtp://") + server.host + ":" + std::to_string(server.port);
    const std::string from = "<" + envelope.from + ">";
    curl_slist* to = nullptr;
    for (const std::string& a : envelope.to) to = curl_slist_append(to, ("<" + a + ">").c_str());
    Upload upload{envelope.message};
    char detail[CURL_ERROR_SIZE] = "";

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
                     static_cast<long>(server.security == platform::MailSecurity::None ? CURLUSESSL_NONE
                                                                                        : CURLUSESSL_ALL));
    // A certificate without a revocation list to ask (a company's own) is not refused for that alone.
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    if (!server.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, server.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, server.password.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, to);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(envelope.message.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 180L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopRequested);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&stop));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);

    const CURLcode code = performUnlessStopped(curl, stop);
    long reply = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
    curl_slist_free_all(to);
    curl_easy_cleanup(curl);
    if (code == CURLE_OK) return {};
    std::string text = detail[0] ? detail : curl_easy_strerror(code);
    if (reply) text += " (resposta " + std::to_string(reply) + ")";
    return {faultOf(code, detail), text};
}

}  // namespace tarvex::win32
