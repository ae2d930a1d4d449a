#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <memory>

#include "win32/copy_tree.h"
#include "win32/handles.h"
#include "win32/services_process.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

// What the caller and the copying thread share. The last of the two to let go
// frees it, so a copy left behind at the time limit never writes into a caller
// that has moved on.
struct CopyJob {
    std::string from, to;
    std::atomic<bool> stop{false};
    platform::IoResult result;
};

DWORD WINAPI copyThread(void* param) {
    const std::unique_ptr<std::shared_ptr<CopyJob>> held(static_cast<std::shared_ptr<CopyJob>*>(param));
    CopyJob& job = **held;
    job.result = copyTree(job.from, job.to, job.stop);
    return 0;
}

// How long a copy told to stop may take to finish the piece it is on.
constexpr DWORD kStopWaitMs = 2000;

}  // namespace

// The copy runs on a thread of its own so that the window stays alive through a
// long one. The shell's flags ask questions and show progress the walk has no
// use for: it replaces files without asking.
platform::IoResult Win32Shell::copy(const std::string& from, const std::string& to, unsigned flags,
                                    int limitSeconds) {
    (void)flags;
    auto job = std::make_shared<CopyJob>();
    job->from = from;
    job->to = to;
    auto* param = new std::shared_ptr<CopyJob>(job);
    const Handle thread(CreateThread(nullptr, 0, copyThread, param, 0, nullptr));
    if (!thread) {
        delete param;
        return copyTree(from, to, job->stop);
    }
    const DWORD limitMs = limitSeconds > 0 ? static_cast<DWORD>(limitSeconds) * 1000 : INFINITE;
    if (waitPumping(thread.get(), limitMs)) return job->result;
    job->stop = true;
    const std::string copy = "a cópia " + from + " => " + to;
    const std::string text =
        waitPumping(thread.get(), kStopWaitMs)
            ? copy + " foi interrompida"
            : copy + " parou de responder e foi deixada para trás; quando o disco responder ela termina sem copiar "
                     "mais nada";
    return platform::IoError{from, std::make_error_code(std::errc::timed_out), text};
}

bool Win32Shell::open(const std::string& file, const std::string& params, const std::string& folder,
                      int show) {
    std::wstring wFile = widen(file), wParams = widen(params), wFolder = widen(folder);
    HINSTANCE h = ShellExecuteW(nullptr, L"open", wFile.c_str(), params.empty() ? nullptr : wParams.c_str(),
                                folder.empty() ? nullptr : wFolder.c_str(), show);
    return reinterpret_cast<INT_PTR>(h) > 32;
}

std::wstring systemFullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (int tries = 0; tries < 3; ++tries) {
        const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return {};
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);
    }
    return {};
}

bool Win32Shell::driveExists(char letter) {
    const char up = static_cast<char>(letter >= 'a' && letter <= 'z' ? letter - 32 : letter);
    if (up < 'A' || up > 'Z') return false;
    return (GetLogicalDrives() >> (up - 'A')) & 1u;
}

char Win32Shell::driveOfLabel(const std::string& label) {
    const std::wstring wanted = widen(label);
    const DWORD drives = GetLogicalDrives();
    for (int i = 2; i < 26; ++i) {   // A: and B: are floppies that may stall
        if (!((drives >> i) & 1u)) continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        wchar_t name[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root, name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            CompareStringOrdinal(name, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL)
            return static_cast<char>('A' + i);
    }
    return 0;
}

}  // namespace tarvex::win32
