#pragma once
// The file sender of the Windows build: libcurl's FTP (TLS by Schannel, so the
// certificates Windows trusts are the ones trusted here) and SFTP (libssh2 over
// Windows' CNG). libcurl's global set-up belongs to CurlMailer, made first.
#include "platform/uploader.h"

namespace tarvex::win32 {

class CurlUploader : public platform::Uploader {
public:
    platform::SendResult test(const platform::ServerPlace& place, const std::atomic<bool>& stop) override;
    platform::SendResult list(const platform::ServerPlace& place, std::vector<platform::RemoteFile>& files,
                              const std::atomic<bool>& stop) override;
    platform::SendResult upload(const platform::ServerPlace& place, const std::string& localPath,
                                const std::string& remoteName, const platform::SendProgress& progress,
                                const std::atomic<bool>& stop) override;
    platform::SendResult remove(const platform::ServerPlace& place, const std::string& remoteName,
                                const std::atomic<bool>& stop) override;
};

}  // namespace tarvex::win32
