#include "win32/single_instance.h"

#include <cstdint>
#include <cwchar>

#include "win32/wide.h"

namespace tarvex::win32 {
namespace {

// Object names are limited in length; a long folder keeps its tail and a hash of the whole.
constexpr size_t kMaxFolderChars = 180;

std::wstring fnv1a(const std::wstring& s) {
    std::uint64_t h = 14695981039346656037ull;
    for (wchar_t c : s) {
        h ^= static_cast<std::uint16_t>(c);
        h *= 1099511628211ull;
    }
    wchar_t text[17];
    swprintf(text, 17, L"%016llX", static_cast<unsigned long long>(h));
    return text;
}

// The long form, so a short (8.3) spelling of the same folder gives the same name.
std::wstring longPath(const std::wstring& path) {
    DWORD n = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return path;
    std::wstring out(n, L'\0');
    n = GetLongPathNameW(path.c_str(), out.data(), n);
    if (n == 0 || n >= out.size()) return path;
    out.resize(n);
    return out;
}

}  // namespace

std::wstring instanceName(const std::string& folder) {
    std::wstring key = longPath(widen(folder));
    while (!key.empty() && (key.back() == L'\\' || key.back() == L'/')) key.pop_back();
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    for (auto& c : key)
        if (c == L'\\') c = L'/';
    if (key.size() > kMaxFolderChars) key = fnv1a(key) + L"." + key.substr(key.size() - kMaxFolderChars + 17);
    return L"TARVEX.Instance." + key;
}

SingleInstance::SingleInstance(const std::string& folder) {
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
    if (GetLastError() == ERROR_SHARING_VIOLATION) return;
    claimByName(folder);
}

// A folder that takes no file (read-only, say): claimed by its path's text.
void SingleInstance::claimByName(const std::string& folder) {
    const std::wstring name = instanceName(folder);
    // Creating the mapping is the claim: exactly one start sees it new.
    mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared), name.c_str()));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    // Without the object nothing can be shared; running is better than not starting.
    first_ = !mapping_ || !existed;
    if (mapping_)
        shared_ = static_cast<Shared*>(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
}

SingleInstance::~SingleInstance() {
    if (shared_) UnmapViewOfFile(shared_);
}

void SingleInstance::publish(HWND main) {
    if (!first_) return;
    const Shared mine{static_cast<ULONGLONG>(reinterpret_cast<std::uintptr_t>(main)), GetCurrentProcessId()};
    if (lock_) {
        DWORD written = 0;
        SetFilePointer(lock_.get(), 0, nullptr, FILE_BEGIN);
        WriteFile(lock_.get(), &mine, sizeof mine, &written, nullptr);   // one write: read whole or not at all
        FlushFileBuffers(lock_.get());
    } else if (shared_) {
        shared_->process = mine.process;
        InterlockedExchange64(reinterpret_cast<volatile LONG64*>(&shared_->window), static_cast<LONG64>(mine.window));
    }
}

// What the running program published, when it names a window of that program.
bool SingleInstance::published(Shared& out) const {
    out = {};
    if (shared_) {
        out.window = static_cast<ULONGLONG>(
            InterlockedCompareExchange64(reinterpret_cast<volatile LONG64*>(&shared_->window), 0, 0));
        out.process = shared_->process;
    } else {
        const Handle h(CreateFileW(lockPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
        if (!h) return false;
        DWORD read = 0;
        const bool whole = ReadFile(h.get(), &out, sizeof out, &read, nullptr) && read == sizeof out;
        if (!whole) return false;
    }
    HWND main = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(out.window));
    DWORD owner = 0;
    return main && IsWindow(main) && GetWindowThreadProcessId(main, &owner) && owner == out.process;
}

bool SingleInstance::bringForward(DWORD waitMs) const {
    if (first_) return false;
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
