// The program's own sender alone, for the side-by-side runs against `curl -T`:
// FILE HOST PORT USER PASSWORD [NAME]. Plain FTP, into the login folder. Prints
// the seconds the upload took, connection and checks included (Wine's own
// start-up and libcurl's one-time set-up left out, as curl's timing leaves out
// its process start, where curl makes that set-up).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <curl/curl.h>

#include "platform/uploader.h"
#include "win32/mailer_curl.h"
#include "win32/uploader_curl.h"

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s FILE HOST PORT USER PASSWORD [NAME]\n", argv[0]);
        return 2;
    }
    tarvex::win32::CurlMailer curlSetUp;    // owns libcurl's global set-up in the program
    curl_global_init(CURL_GLOBAL_DEFAULT);   // made there on the first send; here before the clock
    tarvex::win32::CurlUploader sender;
    tarvex::platform::ServerPlace place;
    place.host = argv[2];
    place.port = std::atoi(argv[3]);
    place.user = argv[4];
    place.password = argv[5];
    std::string name = argc > 6 ? argv[6] : argv[1];
    if (const size_t slash = name.find_last_of("\\/"); slash != std::string::npos) name.erase(0, slash + 1);
    const std::atomic<bool> stop{false};
    const auto start = std::chrono::steady_clock::now();
    const auto result = sender.upload(place, argv[1], name, nullptr, stop);
    std::printf("%.3f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!result.ok()) std::fprintf(stderr, "%s: %s\n", tarvex::platform::sendFaultText(result).c_str(),
                                   result.detail.c_str());
    curl_global_cleanup();
    return result.ok() ? 0 : 1;
}
