#pragma once
// Recording stand-ins for the operating-system services: each call is kept for
// the test to inspect, and each result can be set or scripted.
#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"

namespace tarvex::testkit {

class RecordingProcesses : public platform::Processes {
public:
    struct Call { std::string commandLine; int show; };
    std::vector<Call> calls;
    int result = 0;
    // When set, decides the result (and may look at files the command names).
    std::function<int(const std::string& commandLine, int show)> onRun;

    // A negative result is a command that could not be started.
    platform::ProcessEnd runAndWait(const std::string& commandLine, int show, int = 0) override {
        calls.push_back({commandLine, show});
        const int status = onRun ? onRun(commandLine, show) : result;
        if (status >= 0) return {status, std::nullopt};
        return {0, platform::ioError("O comando não pôde ser iniciado", commandLine,
                                     std::make_error_code(std::errc::no_such_file_or_directory))};
    }
    // The consoles left open for the operator: their title and lines.
    std::vector<std::pair<std::string, std::vector<std::string>>> paused;
    std::function<void()> onPause;
    void showAndWaitForKey(const std::string& title, const std::vector<std::string>& lines) override {
        paused.emplace_back(title, lines);
        if (onPause) onPause();
    }
};

class RecordingShell : public platform::Shell {
public:
    struct Copy { std::string from, to; unsigned flags; };
    struct Open { std::string file, params, folder; int show; };
    std::vector<Copy> copies;
    std::vector<Open> opens;
    int copyResult = 0;
    std::function<int(const Copy&)> onCopy;   // overrides copyResult
    bool openResult = true;

    // A result other than 0 is the copy's failure with that system code.
    platform::IoResult copy(const std::string& from, const std::string& to, unsigned flags, int = 0) override {
        copies.push_back({from, to, flags});
        const int code = onCopy ? onCopy(copies.back()) : copyResult;
        if (code == 0) return std::nullopt;
        return platform::ioError("Erro na cópia", from + " => " + to, {code, std::generic_category()});
    }
    bool open(const std::string& file, const std::string& params, const std::string& folder,
              int show) override {
        opens.push_back({file, params, folder, show});
        return openResult;
    }
    std::string missingDrives;   // upper-case letters of drives that are not there
    bool driveExists(char letter) override { return missingDrives.find(letter) == std::string::npos; }
    std::map<std::string, char> labels;   // mounted volumes by label, in upper case
    char driveOfLabel(const std::string& label) override {
        std::string upper = label;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        auto it = labels.find(upper);
        return it == labels.end() ? 0 : it->second;
    }
};

// A desktop of top-level windows, front to back. find() compares as the
// platform's window search does: ignoring case, an empty text matching any.
class FakeWindows : public platform::Windows {
public:
    std::vector<platform::TopWindow> windows;
    std::vector<std::uintptr_t> closed;   // handles posted the close message

    std::vector<platform::TopWindow> topLevel() override { return windows; }
    std::uintptr_t find(const std::string& className, const std::string& title) override {
        for (const auto& w : windows)
            if ((className.empty() || same(w.className, className)) &&
                (title.empty() || same(w.title, title)))
                return w.handle;
        return 0;
    }
    bool postClose(std::uintptr_t handle) override {
        closed.push_back(handle);
        return std::any_of(windows.begin(), windows.end(),
                           [&](const auto& w) { return w.handle == handle; });
    }

private:
    static bool same(const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
                   return std::tolower(x) == std::tolower(y);
               });
    }
};

// Records power requests in order as short texts:
// "privilege", "exit <flags> <reason>", "run <line>".
class RecordingPower : public platform::Power {
public:
    std::vector<std::string> calls;
    bool privilegeResult = true, exitResult = true, runResult = true;

    bool enableShutdownPrivilege() override {
        calls.push_back("privilege");
        return privilegeResult;
    }
    bool exitWindows(unsigned flags, unsigned reason) override {
        calls.push_back("exit " + std::to_string(flags) + " " + std::to_string(reason));
        return exitResult;
    }
    bool runCommand(const std::string& line) override {
        calls.push_back("run " + line);
        return runResult;
    }
};

class FakeRegistry : public platform::Registry {
public:
    std::map<std::string, std::string> userRun, machineRun;
    std::string gbDir5;
    bool writable = true;

    bool getRun(bool machineWide, const std::string& name, std::string& value) override {
        auto& m = machineWide ? machineRun : userRun;
        auto it = m.find(name);
        if (it == m.end()) return false;
        value = it->second;
        return true;
    }
    bool setRun(const std::string& name, const std::string& value) override {
        if (!writable) return false;
        userRun[name] = value;
        return true;
    }
    bool deleteRun(bool machineWide, const std::string& name) override {
        if (!writable) return false;
        return (machineWide ? machineRun : userRun).erase(name) > 0;
    }
    std::string readGbDir5() override { return gbDir5; }
};

// All of them, handed out as the Services bundle the core takes.
struct FakeServices {
    RecordingProcesses processes;
    RecordingShell shell;
    FakeWindows windows;
    RecordingPower power;
    FakeRegistry registry;
    platform::Services services{processes, shell, windows, power, registry};

    FakeServices() = default;
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;
};

}  // namespace tarvex::testkit
