#include "win32/output_relay.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "win32/services_process.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

constexpr DWORD kCouldNotStart = 0xC0DE0000u;   // | the system's error, in its low 16 bits
constexpr DWORD kEndedUnanswered = 0xC0DF0000u;
std::wstring relayProgram;

// A question asked of nobody: with no input, a program that asks again whenever
// it reads no answer (XCOPY's "(A/D)?", DEL's "Tem certeza?") writes the same
// question without end. Seen as the recent output ending in one piece with a "?",
// repeated many times over; a list of like lines ("1 arquivo(s) copiado(s).")
// asks nothing.
class RepeatedQuestion {
public:
    // The question once it is seen; empty until then.
    std::string add(const char* bytes, DWORD n) {
        recent_.append(bytes, n);
        if (recent_.size() > kKept) recent_.erase(0, recent_.size() - kKept);
        const size_t size = recent_.size();
        if (size < kRepeats * kKey) return "";
        const size_t at = recent_.rfind(recent_.substr(size - kKey), size - kKey - 1);
        if (at == std::string::npos) return "";
        const size_t period = size - kKey - at;
        if (period < kKey || period > kLongest || size < kRepeats * period) return "";
        const size_t from = size - kRepeats * period;
        if (recent_.compare(from, (kRepeats - 1) * period, recent_, from + period, (kRepeats - 1) * period) != 0)
            return "";
        std::string question = recent_.substr(size - period);
        if (question.find('?') == std::string::npos) return "";
        for (char& c : question)
            if (c == '\r' || c == '\n') c = ' ';
        return question;
    }

private:
    static constexpr size_t kKey = 8, kRepeats = 20, kLongest = 1024, kKept = kRepeats * kLongest + kKey;
    std::string recent_;
};

// The command line after the program's own name.
std::wstring_view afterProgramName(std::wstring_view line) {
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring_view::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    }
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    return line.substr(i);
}

// What the console shows, on to TARVEX in its own code page: the command wrote
// in the console's (CHCP may change it on the way).
void passOn(HANDLE toTarvex, const char* bytes, DWORD n) {
    const UINT page = GetConsoleOutputCP();
    const int wide = MultiByteToWideChar(page, 0, bytes, static_cast<int>(n), nullptr, 0);
    if (wide <= 0) return;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(page, 0, bytes, static_cast<int>(n), text.data(), wide);
    const std::string cp1252 = narrow(text);
    DWORD written = 0;
    WriteFile(toTarvex, cp1252.data(), static_cast<DWORD>(cp1252.size()), &written, nullptr);
}

void show(HANDLE console, const char* bytes, DWORD n) {
    DWORD written = 0;
    WriteFile(console, bytes, n, &written, nullptr);
}

// Ctrl+C is the command's to answer ("Terminate batch job?"), not the relay's to die of.
BOOL WINAPI ignoreBreak(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

Handle openConsole(const wchar_t* name, SECURITY_ATTRIBUTES* sa) {
    return Handle(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, sa,
                              OPEN_EXISTING, 0, nullptr));
}

int relay(const std::wstring& command, HANDLE toTarvex) {
    SetHandleInformation(toTarvex, HANDLE_FLAG_INHERIT, 0);   // only the relay holds TARVEX's pipe
    Handle console = openConsole(L"CONOUT$", nullptr);
    if (!console && AllocConsole()) console = openConsole(L"CONOUT$", nullptr);
    SetConsoleCtrlHandler(ignoreBreak, TRUE);
    SetConsoleTitleW(command.c_str());

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    // Nothing is typed into a batch: a question meets the end of the input at once,
    // and the day never waits for somebody at the keyboard.
    const Handle input = nothingToRead();
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return static_cast<int>(kCouldNotStart | (GetLastError() & 0xFFFF));
    Handle fromCommand(readEnd), commandEnd(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input.get();
    si.hStdOutput = si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
        return static_cast<int>(kCouldNotStart | (GetLastError() & 0xFFFF));
    const Process started(pi);
    // A job of its own inside TARVEX's, so the command can be ended with what it started.
    const Handle job(CreateJobObjectW(nullptr, nullptr));
    const bool jobbed = job && AssignProcessToJobObject(job.get(), pi.hProcess);
    ResumeThread(pi.hThread);
    commandEnd.reset();
    RepeatedQuestion asked;

    // Polled, not read blocking: something the command left running may hold the
    // pipe open long after the command itself has ended.
    char buffer[4096];
    for (;;) {
        DWORD waiting = 0, n = 0;
        if (!PeekNamedPipe(fromCommand.get(), nullptr, 0, nullptr, &waiting, nullptr)) break;
        if (waiting) {
            if (!ReadFile(fromCommand.get(), buffer, std::min<DWORD>(waiting, sizeof buffer), &n, nullptr)) break;
            show(console.get(), buffer, n);
            passOn(toTarvex, buffer, n);
            const std::string question = asked.add(buffer, n);
            if (!question.empty()) {
                if (!jobbed || !TerminateJobObject(job.get(), kEndedUnanswered))
                    TerminateProcess(started.process.get(), kEndedUnanswered);
                const std::string last = "\r\n" + question + "\r\n";
                passOn(toTarvex, last.data(), static_cast<DWORD>(last.size()));
                WaitForSingleObject(started.process.get(), 10000);
                return static_cast<int>(kEndedUnanswered);
            }
        } else if (WaitForSingleObject(started.process.get(), 20) == WAIT_OBJECT_0) {
            PeekNamedPipe(fromCommand.get(), nullptr, 0, nullptr, &waiting, nullptr);
            if (!waiting) break;
        }
    }
    WaitForSingleObject(started.process.get(), INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(started.process.get(), &status);
    return static_cast<int>(status);
}

// Shows what comes on `text` (TARVEX's pipe) in this console, then waits for a key.
int pause(const std::wstring& title, HANDLE text) {
    Handle console = openConsole(L"CONOUT$", nullptr);
    if (!console && AllocConsole()) console = openConsole(L"CONOUT$", nullptr);
    SetConsoleTitleW(title.c_str());
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(text, buffer, sizeof buffer, &n, nullptr) && n) {
        const std::wstring wide = widen(std::string(buffer, n));
        DWORD written = 0;
        WriteConsoleW(console.get(), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
    const std::wstring prompt = widen("Pressione uma tecla para fechar esta janela . . .");
    DWORD written = 0;
    WriteConsoleW(console.get(), prompt.data(), static_cast<DWORD>(prompt.size()), &written, nullptr);
    const Handle keys = openConsole(L"CONIN$", nullptr);
    FlushConsoleInputBuffer(keys.get());
    INPUT_RECORD record;
    DWORD read = 0;
    while (ReadConsoleInputW(keys.get(), &record, 1, &read) && read)
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) break;
    return 0;
}

// The command line after `key` and a blank, when it starts with them.
std::optional<std::wstring> afterSwitch(std::wstring_view rest, std::wstring_view key) {
    if (rest.size() <= key.size() || rest.substr(0, key.size()) != key || rest[key.size()] != L' ')
        return std::nullopt;
    return std::wstring(afterProgramName(rest));
}

}  // namespace

std::optional<int> runAsRelay() {
    const std::wstring_view rest = afterProgramName(GetCommandLineW());
    // Taken before anything can give the process a console and its handles.
    if (const auto title = afterSwitch(rest, kPauseSwitch)) return pause(*title, GetStdHandle(STD_INPUT_HANDLE));
    const auto command = afterSwitch(rest, kRelaySwitch);
    if (!command) return std::nullopt;
    return relay(*command, GetStdHandle(STD_OUTPUT_HANDLE));
}

void enableRelay() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    relayProgram = path;
}

bool startRelayed(const std::string& commandLine, int show, PROCESS_INFORMATION& pi, Handle& output) {
    if (relayProgram.empty()) return false;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    Handle fromRelay(readEnd), relayEnd(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    const std::wstring text = L"\"" + relayProgram + L"\" " + kRelaySwitch + L" " + widen(commandLine);
    std::vector<wchar_t> line(text.begin(), text.end());
    line.push_back(L'\0');

    // Only the pipe goes to the relay, whatever else of TARVEX's could be inherited.
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    const bool listed = size && InitializeProcThreadAttributeList(list, 1, 0, &size) &&
                        UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &writeEnd,
                                                  sizeof writeEnd, nullptr, nullptr);
    STARTUPINFOEXW si{};
    si.StartupInfo.cb = listed ? sizeof si : sizeof si.StartupInfo;
    si.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.StartupInfo.wShowWindow = static_cast<WORD>(show);
    si.StartupInfo.hStdOutput = si.StartupInfo.hStdError = writeEnd;
    si.lpAttributeList = listed ? list : nullptr;
    pi = PROCESS_INFORMATION{};
    const DWORD flags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED |
                        (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                        &si.StartupInfo, &pi) != 0;
    if (listed) DeleteProcThreadAttributeList(list);
    if (!started) return false;
    output = std::move(fromRelay);
    return true;
}

void showAndPause(const std::string& title, const std::string& text) {
    if (relayProgram.empty()) return;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, static_cast<DWORD>(text.size() + 1))) return;
    Handle toPause(writeEnd), pauseEnd(readEnd);
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    const std::wstring line = L"\"" + relayProgram + L"\" " + kPauseSwitch + L" " + widen(title);
    PROCESS_INFORMATION pi{};
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = readEnd;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    // Outside every job: it stays for the operator whatever becomes of the run.
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE,
                        CREATE_NEW_CONSOLE | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr, &si, &pi) &&
        !CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr, &si,
                        &pi))
        return;
    const Process started(pi);
    pauseEnd.reset();
    DWORD written = 0;
    WriteFile(toPause.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool relayEndedUnanswered(DWORD status) { return status == kEndedUnanswered; }

bool relayCouldNotStart(DWORD status, int& error) {
    if ((status & 0xFFFF0000u) != kCouldNotStart) return false;
    error = static_cast<int>(status & 0xFFFF);
    return true;
}

}  // namespace tarvex::win32
