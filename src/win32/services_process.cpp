#include "win32/services_process.h"

#include <algorithm>
#include <climits>
#include <thread>
#include <vector>

#include "lib/output_tail.h"
#include "platform/cp1252.h"
#include "platform/operator.h"
#include "win32/handles.h"
#include "win32/output_relay.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

bool startProcess(const std::string& commandLine, int show, DWORD creationFlags,
                  PROCESS_INFORMATION& pi, bool noInput) {
    std::wstring line = widen(commandLine);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    const Handle input = noInput ? nothingToRead() : Handle();
    if (input) {
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = input.get();
    }
    pi = PROCESS_INFORMATION{};
    return CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, input ? TRUE : FALSE, creationFlags, nullptr,
                          nullptr, &si, &pi) != 0;
}

Handle nothingToRead() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return Handle(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                              nullptr));
}

bool waitPumping(HANDLE object, DWORD limitMs) {
    const ULONGLONG deadline = limitMs == INFINITE ? 0 : GetTickCount64() + limitMs;
    const auto left = [&]() -> DWORD {
        if (limitMs == INFINITE) return INFINITE;
        const ULONGLONG now = GetTickCount64();
        return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    };
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, left(), QS_ALLINPUT);
        if (r == WAIT_TIMEOUT) return false;
        if (r != WAIT_OBJECT_0 + 1) return true;
        platform::op().processMessages();
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            return WaitForSingleObject(object, left()) != WAIT_TIMEOUT;
    }
}

namespace {

// Every batch of this program, for as long as it lives: when TARVEX ends without
// a word (killed, crashed), the system closes the job and ends what is in it, so
// no cmd, copy or relay goes on with nobody to wait for it. A normal end lets go
// of them: a program a batch started on purpose keeps running.
class AllBatches {
public:
    AllBatches() : job_(CreateJobObjectW(nullptr, nullptr)) { killOnClose(true); }
    ~AllBatches() { killOnClose(false); }
    HANDLE get() const { return job_.get(); }

private:
    void killOnClose(bool on) {
        if (!job_) return;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = on ? JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE : 0;
        SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    Handle job_;
};

HANDLE allBatches() {
    static AllBatches job;
    return job.get();
}

// The process starts suspended inside a job of its own (nested in allBatches), so
// that everything it starts (XCOPY under cmd, the backup tool) can be ended with
// it. Through the relay when there is one, so that its output can be kept;
// `output` then reads it. Nothing can be typed to it: a question gets no answer.
Handle startInJob(const std::string& commandLine, int show, PROCESS_INFORMATION& pi, Handle& output) {
    Handle job(CreateJobObjectW(nullptr, nullptr));
    if (!startRelayed(commandLine, show, pi, output) &&
        !startProcess(commandLine, show, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, pi, true))
        return Handle();
    if (allBatches()) AssignProcessToJobObject(allBatches(), pi.hProcess);
    if (job && !AssignProcessToJobObject(job.get(), pi.hProcess)) job = Handle();
    ResumeThread(pi.hThread);
    return job;
}

// Reads the relay's pipe to its end (the relay alone holds it, so it ends with the
// relay), keeping the last lines.
class TailReader {
public:
    explicit TailReader(Handle pipe) : pipe_(std::move(pipe)) {
        if (pipe_) thread_ = std::thread([this] { read(); });
    }
    ~TailReader() { finish(); }
    std::vector<std::string> lines() {
        finish();
        return tail_.lines();
    }

private:
    void read() {
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(pipe_.get(), buffer, sizeof buffer, &n, nullptr) && n) tail_.add({buffer, n});
    }
    void finish() {
        if (thread_.joinable()) thread_.join();
    }
    Handle pipe_;
    OutputTail tail_;
    std::thread thread_;
};

}  // namespace

platform::ProcessEnd Win32Processes::runAndWait(const std::string& commandLine, int show, int limitSeconds) {
    PROCESS_INFORMATION pi{};
    Handle output;
    const Handle job = startInJob(commandLine, show, pi, output);
    if (!pi.hProcess)
        return {0, platform::ioError("O comando não pôde ser iniciado", commandLine,
                                     {static_cast<int>(GetLastError()), std::system_category()})};
    const Process started(pi);
    TailReader reader(std::move(output));
    const DWORD limitMs = limitSeconds > 0 ? static_cast<DWORD>(limitSeconds) * 1000u : INFINITE;
    if (!waitPumping(started.process.get(), limitMs)) {
        // Without a job (a system that refuses nesting) only the process itself can go.
        if (!job || !TerminateJobObject(job.get(), ERROR_TIMEOUT)) TerminateProcess(started.process.get(), ERROR_TIMEOUT);
        WaitForSingleObject(started.process.get(), 10000);
        return {0, std::nullopt, true, reader.lines()};
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(started.process.get(), &exitCode);
    int error = 0;
    if (relayCouldNotStart(exitCode, error))
        return {0, platform::ioError("O comando não pôde ser iniciado", commandLine, {error, std::system_category()})};
    if (relayEndedUnanswered(exitCode)) {
        platform::ProcessEnd end{static_cast<int>(exitCode & INT_MAX), std::nullopt, false, reader.lines()};
        end.unanswered = true;
        return end;
    }
    // A crash's status (0xC0000005...) is still a failure, never "could not start".
    return {static_cast<int>(std::min<DWORD>(exitCode, INT_MAX)), std::nullopt, false, reader.lines()};
}

void Win32Processes::showAndWaitForKey(const std::string& title, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    showAndPause(title, text);
}

unsigned OemCodePage::number() const { return GetOEMCP(); }

namespace {
// One character through the code page and back: a best-fit stand-in ("ç" as "c")
// would name another file, so only an exact round trip counts.
std::optional<std::string> encodeExactly(const std::u16string& text, UINT page) {
    if (text.empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, n, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, n, out.data(), size, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}
}  // namespace

std::optional<std::string> OemCodePage::fromCp1252(const std::string& text, char& missing) const {
    const UINT page = GetOEMCP();
    if (auto whole = encodeExactly(platform::cp1252ToUtf16(text), page)) return whole;
    for (char c : text)
        if (!encodeExactly(platform::cp1252ToUtf16(std::string(1, c)), page)) {
            missing = c;
            return std::nullopt;
        }
    return std::nullopt;
}

}  // namespace tarvex::win32
