#include "testkit/inert_services.h"

namespace tarvex::testkit {
namespace {

struct NoProcesses : platform::Processes {
    platform::ProcessEnd runAndWait(const std::string& line, int, int) override {
        return {0, platform::IoError{line, {}, "Sem execução de comandos aqui"}};
    }
};

struct NoShell : platform::Shell {
    platform::IoResult copy(const std::string& from, const std::string&, unsigned, int) override {
        return platform::IoError{from, {}, "Sem cópia pelo shell aqui"};
    }
    bool open(const std::string&, const std::string&, const std::string&, int) override { return false; }
    bool driveExists(char) override { return false; }
    char driveOfLabel(const std::string&) override { return 0; }
};

struct NoWindows : platform::Windows {
    std::vector<platform::TopWindow> topLevel() override { return {}; }
    std::uintptr_t find(const std::string&, const std::string&) override { return 0; }
    bool postClose(std::uintptr_t) override { return false; }
};

struct NoPower : platform::Power {
    bool enableShutdownPrivilege() override { return false; }
    bool exitWindows(unsigned, unsigned) override { return false; }
    bool runCommand(const std::string&) override { return false; }
};

struct NoRegistry : platform::Registry {
    bool getRun(bool, const std::string&, std::string&) override { return false; }
    bool setRun(const std::string&, const std::string&) override { return false; }
    bool deleteRun(bool, const std::string&) override { return false; }
    std::string readGbDir5() override { return {}; }
};

}  // namespace

platform::Services& inertServices() {
    static NoProcesses processes;
    static NoShell shell;
    static NoWindows windows;
    static NoPower power;
    static NoRegistry registry;
    static platform::Services services{processes, shell, windows, power, registry};
    return services;
}

}  // namespace tarvex::testkit
