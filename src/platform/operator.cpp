#include "platform/operator.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/cp1252.h"

namespace tarvex::platform {

namespace {
// The console is UTF-8 on the machines that see this output.
void print(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "[%s] %s\n", cp1252ToUtf8(caption).c_str(), cp1252ToUtf8(text).c_str());
}
}  // namespace

void Operator::waitUntil(const std::function<bool()>& done, const std::function<void()>& tick) {
    while (!done()) {
        processMessages();
        tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    tick();
}

void ConsoleOperator::message(const std::string& caption, const std::string& text) { print(caption, text); }

bool ConsoleOperator::question(const std::string& caption, const std::string& text) {
    print(caption, text);
    return true;
}

Choice ConsoleOperator::choose(const std::string& caption, const std::string& text) {
    print(caption, text);
    return Choice::Yes;
}

void ConsoleOperator::error(const std::string& text) { print("Erro", text); }

namespace {
ConsoleOperator consoleOperator;
Operator* current = &consoleOperator;
std::string& title() {
    static std::string t = "TARVEX VALDRIN";
    return t;
}
}  // namespace

Operator& op() { return *current; }

void setOperator(Operator* o) { current = o ? o : &consoleOperator; }

const std::string& appTitle() { return title(); }

void setAppTitle(const std::string& t) { title() = t; }

}  // namespace tarvex::platform
