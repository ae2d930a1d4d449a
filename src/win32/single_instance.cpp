#include "win32/single_instance.h"

#include <cstdint>

#include "win32/wide.h"

namespace tarvex::win32 {

SingleInstance::SingleInstance(const std::string& folder) : folder_(folder) {
    lockPath_ = widen(folder);
    if (!lockPath_.empty() && lockPath_.back() != L'\\' && lockPath_.back() != L'/') lockPath_ += L'\\';
    lockPath_ += kInstanceFile;
    // Nobody else may write the file while this program holds it: a later start
    // in the same folder, by whatever path, meets a sharing violation.
    lock_.reset(CreateFileW(lockPath_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (lock_) {
        first_ = true;
        SetEndOfFile(lock_.get());   // what an earlier program published is gone
        return;
    }
    const DWORD why = GetLastError();
    if (why == ERROR_SHARING_VIOLATION) return;
    const DWORD attributes = GetFileAttributesW(lockPath_.c_str());
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    refusal_ = "O TARVEX não pode ser iniciado na pasta " + folder_ + ": o arquivo TARVEX.LCK, que garante um só "
               "TARVEX por pasta, não pode ser aberto (" +
               (isFolder ? std::string("há uma pasta com esse nome; remova-a")
                : why == ERROR_ACCESS_DENIED ? std::string("acesso negado; verifique as permissões da pasta")
                                             : "erro " + std::to_string(why)) +
               ").\r\nSem ele outro TARVEX na mesma pasta executaria as mesmas tarefas outra vez; por isso "
               "nenhuma tarefa será executada.";
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::publish(HWND main) {
    if (!first_) return;
    const Shared mine{static_cast<ULONGLONG>(reinterpret_cast<std::uintptr_t>(main)), GetCurrentProcessId()};
    DWORD written = 0;
    SetFilePointer(lock_.get(), 0, nullptr, FILE_BEGIN);
    WriteFile(lock_.get(), &mine, sizeof mine, &written, nullptr);   // one write: read whole or not at all
    FlushFileBuffers(lock_.get());
}

// What the running program published, when it names a window of that program.
bool SingleInstance::published(Shared& out) const {
    out = {};
    const Handle h(CreateFileW(lockPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    if (!h) return false;
    DWORD read = 0;
    const bool whole = ReadFile(h.get(), &out, sizeof out, &read, nullptr) && read == sizeof out;
    if (!whole) return false;
    HWND main = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(out.window));
    DWORD owner = 0;
    return main && IsWindow(main) && GetWindowThreadProcessId(main, &owner) && owner == out.process;
}

bool SingleInstance::bringForward(DWORD waitMs) const {
    if (first_ || !refusal_.empty()) return false;
    const ULONGLONG until = GetTickCount64() + waitMs;
    for (Shared running; ; Sleep(100)) {
        if (published(running)) {
            // This start came from the operator, so it may hand the foreground on.
            AllowSetForegroundWindow(running.process);
            HWND main = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(running.window));
            return PostMessageW(main, showMessage(), 0, 0) != FALSE;
        }
        if (GetTickCount64() >= until) return false;
    }
}

UINT SingleInstance::showMessage() {
    static const UINT message = RegisterWindowMessageW(L"TARVEX.ShowInstance");
    return message;
}

}  // namespace tarvex::win32
