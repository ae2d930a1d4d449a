#pragma once
// Scripted dialogs: each call is recorded and answered from a queue
// (Cancel when the queue is empty).
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace tarvex::testkit {

class ScriptedDialogs : public platform::Dialogs {
public:
    struct Call { std::string kind, titleOrFilter, start; };
    std::vector<Call> calls;
    std::deque<std::optional<std::string>> folders;   // answers of browseFolder
    std::deque<std::optional<std::string>> files;     // answers of openFile

    std::optional<std::string> browseFolder(const std::string& title, const std::string& initial) override {
        calls.push_back({"folder", title, initial});
        return next(folders);
    }
    std::optional<std::string> openFile(const std::string& filter, const std::string& start) override {
        calls.push_back({"file", filter, start});
        return next(files);
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto a = q.front();
        q.pop_front();
        return a;
    }
};

}  // namespace tarvex::testkit
