#pragma once
// One libcurl handle set up for a server place: the URL of its folder and of a
// file in it, TLS, login, the time limit, the host key check and `stop`. The
// handle is kept across the calls of one operation, so FTP logs in once.
#include <curl/curl.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/uploader.h"

namespace tarvex::win32 {

class ServerSession {
public:
    ServerSession(const platform::ServerPlace& place, const std::atomic<bool>& stop);
    ~ServerSession();
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    CURL* handle() const { return curl_; }
    bool sftp() const { return place_.protocol == platform::ServerProtocol::Sftp; }
    bool tls() const { return !sftp() && place_.protocol != platform::ServerProtocol::Ftp; }
    CURLcode lastCode() const { return lastCode_; }
    // The folder's URL (ending in "/"), or a file's in it; names are Windows-1252.
    std::string folderUrl() const;
    std::string fileUrl(const std::string& name) const;
    // A file's path as SFTP commands take it (quoted), relative to the login folder unless absolute.
    std::string sftpPath(const std::string& name) const;
    // A file's path for an FTP command sent before the request (CURLOPT_QUOTE).
    std::string ftpPath(const std::string& name) const;

    // Clears what the last request set (upload, listing, commands) but keeps the connection.
    void fresh();
    // Commands sent before the request ("*" first: its failure is let pass);
    // kept alive until the next fresh().
    void before(const std::vector<std::string>& commands);
    platform::SendResult perform();
    // The SFTP commands that create the folder, each step of it (failures ignored).
    std::vector<std::string> sftpMakeFolder() const;

private:
    void setCommon();
    CURLcode run();
    platform::SendResult resultOf(CURLcode code) const;

    platform::ServerPlace place_;
    const std::atomic<bool>& stop_;
    CURL* curl_;
    CURLM* multi_;   // holds the connection between calls
    curl_slist* before_ = nullptr;
    bool keyChanged_ = false;
    CURLcode lastCode_ = CURLE_OK;
    char detail_[CURL_ERROR_SIZE] = "";
    friend int checkHostKey(CURL*, const curl_khkey*, const curl_khkey*, curl_khmatch, void*);
};

}  // namespace tarvex::win32
