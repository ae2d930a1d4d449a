#pragma once
// A server in memory behind platform::uploader(): it keeps what is sent, and
// fails, lies or waits where a test says.
#include <filesystem>
#include <map>
#include <thread>

#include "platform/files.h"
#include "platform/uploader.h"

namespace tarvex::testkit {

class FakeUploader : public platform::Uploader {
public:
    using Result = platform::SendResult;
    std::map<std::string, platform::RemoteFile> files;
    std::map<std::string, platform::SendFault> failOn;   // its upload or removal fails so
    std::string shortOn;                                  // kept a byte short, reported sent
    platform::SendFault listFault = platform::SendFault::None;
    bool waitForStop = false;                             // an upload waits for `stop` (20 s at most)
    std::atomic<bool> uploading{false};
    std::int64_t now = 1'800'000'000;
    std::vector<std::string> sent, removed;
    platform::ServerPlace lastPlace;

    FakeUploader() { platform::setUploader(this); }
    ~FakeUploader() override { platform::setUploader(nullptr); }
    Result test(const platform::ServerPlace&, const std::atomic<bool>&) override { return {}; }
    Result list(const platform::ServerPlace& place, std::vector<platform::RemoteFile>& out, const std::atomic<bool>&) override {
        lastPlace = place;
        for (const auto& [name, f] : files) out.push_back(f);
        return {listFault, "recusado"};
    }
    Result upload(const platform::ServerPlace&, const std::string& path, const std::string& name,
                  const platform::SendProgress& progress, const std::atomic<bool>& stop) override {
        uploading = true;
        for (int i = 0; waitForStop && !stop && i < 2000; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (stop) return {platform::SendFault::Cancelled, ""};
        if (failOn.count(name)) return {failOn[name], ""};
        const auto size = std::filesystem::file_size(platform::fsPath(path));
        progress(size, size);
        files[name] = {name, name == shortOn ? size - 1 : size, ++now};
        sent.push_back(name);
        return {};
    }
    Result remove(const platform::ServerPlace&, const std::string& name, const std::atomic<bool>&) override {
        if (failOn.count(name)) return {failOn[name], ""};
        files.erase(name);
        removed.push_back(name);
        return {};
    }
};

}  // namespace tarvex::testkit
