#include "win32/copy_tree.h"

#include <windows.h>

#include <filesystem>

#include "platform/files.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

bool hasWildcard(const std::wstring& name) { return name.find_first_of(L"*?") != std::wstring::npos; }

DWORD attributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }
bool isFolder(DWORD a) { return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); }

std::wstring parentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }
std::wstring nameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// `inner` is `outer` or lies below it, ignoring case as the file system does.
bool within(const std::wstring& inner, const std::wstring& outer) {
    if (inner.size() < outer.size()) return false;
    if (inner.size() > outer.size() && inner[outer.size()] != L'\\') return false;
    return CompareStringOrdinal(inner.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                                static_cast<int>(outer.size()), TRUE) == CSTR_EQUAL;
}

DWORD CALLBACK progress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                        void* stop) {
    return static_cast<const std::atomic<bool>*>(stop)->load() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

class Walk {
public:
    explicit Walk(const std::atomic<bool>& stop) : stop_(stop) {}

    // The folder and those above it, as needed.
    bool makeFolder(const std::wstring& path) {
        if (isFolder(attributesOf(path))) return true;
        const std::wstring parent = parentOf(path);
        if (parent.size() < path.size() && parent.size() > 7 && !isFolder(attributesOf(parent)) && !makeFolder(parent))
            return false;
        if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
        failed(path, GetLastError());
        return false;
    }

    void file(const std::wstring& from, const std::wstring& to) {
        if (stop_) return;
        // A disk that stops answering holds here, as a read of it would.
        if (!platform::diskFaults().opens(platform::fromFsPath(from))) return failed(from, ERROR_SHARING_VIOLATION);
        if (stop_) return;
        BOOL cancel = FALSE;
        auto* stop = const_cast<std::atomic<bool>*>(&stop_);
        if (CopyFileExW(from.c_str(), to.c_str(), progress, stop, &cancel, 0)) return;
        DWORD code = GetLastError();
        // Yesterday's copy of a read-only file is read-only too: it is still replaced.
        const DWORD there = attributesOf(to);
        if (code == ERROR_ACCESS_DENIED && there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_READONLY) &&
            SetFileAttributesW(to.c_str(), there & ~FILE_ATTRIBUTE_READONLY)) {
            if (CopyFileExW(from.c_str(), to.c_str(), progress, stop, &cancel, 0)) return;
            code = GetLastError();
        }
        if (!stop_) failed(from, code);
    }

    // Everything in `from` into `to`, merged with what `to` holds.
    void folder(const std::wstring& from, const std::wstring& to) {
        // A copy inside its own source would copy itself without end.
        if (within(to, from)) return refuse(from, "o destino fica dentro da origem");
        if (stop_ || !makeFolder(to)) return;
        matching(from + L"\\*", to);
    }

    // The names in one folder that the pattern picks: files, and folders whole.
    void matching(const std::wstring& pattern, const std::wstring& to) {
        const std::wstring where = parentOf(pattern);
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(pattern.c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code != ERROR_FILE_NOT_FOUND && code != ERROR_NO_MORE_FILES) failed(where, code);
            return;
        }
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folder(where + L"\\" + name, to + L"\\" + name);
            else file(where + L"\\" + name, to + L"\\" + name);
        } while (!stop_ && FindNextFileW(h, &found));
        FindClose(h);
    }

    void failed(const std::wstring& path, DWORD code) {
        if (failures_++ == 0)
            first_ = platform::ioError("Erro na cópia", narrowPath(path), {static_cast<int>(code), std::system_category()});
    }

    void refuse(const std::wstring& path, const std::string& why) {
        const std::string shown = narrowPath(path);
        if (failures_++ == 0) first_ = platform::IoError{shown, {}, "Erro na cópia: " + shown + " - " + why};
    }

    platform::IoResult result() const {
        if (!first_) return std::nullopt;
        platform::IoError out = *first_;
        if (failures_ > 1) out.text += " (e mais " + std::to_string(failures_ - 1) + ")";
        return out;
    }

private:
    static std::string narrowPath(const std::wstring& path) { return platform::fromFsPath(std::filesystem::path(path)); }

    const std::atomic<bool>& stop_;
    int failures_ = 0;
    platform::IoResult first_;
};

platform::IoError refused(const std::string& from, const std::string& to, const std::string& why) {
    return platform::IoError{from, {}, "Erro na cópia: " + from + " => " + to + " - " + why};
}

}  // namespace

platform::IoResult copyTree(const std::string& from, const std::string& to, const std::atomic<bool>& stop) {
    const std::wstring source = platform::longPath(from).wstring(), target = platform::longPath(to).wstring();
    Walk walk(stop);
    if (hasWildcard(nameOf(source))) {
        if (!isFolder(attributesOf(parentOf(source))))
            return refused(from, to, "origem inexistente ou caminho inválido");
        if (walk.makeFolder(target)) walk.matching(source, target);
        return walk.result();
    }
    const DWORD what = attributesOf(source);
    if (what == INVALID_FILE_ATTRIBUTES) return refused(from, to, "origem inexistente ou caminho inválido");
    if (!isFolder(what)) {
        if (walk.makeFolder(target)) walk.file(source, target + L"\\" + nameOf(source));
        return walk.result();
    }
    const std::wstring into = isFolder(attributesOf(target)) ? target + L"\\" + nameOf(source) : target;
    if (within(into, source)) return refused(from, to, "o destino fica dentro da origem");
    walk.folder(source, into);
    return walk.result();
}

}  // namespace tarvex::win32
