// The shell's copy says it succeeded when a file held open, a path too long or a
// folder gone left files behind; what reached the destination is counted here.
#include <windows.h>

#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

constexpr std::size_t kNamesShown = 5;

// The "\\?\" form, so that a tree deeper than 260 characters is walked whole.
std::wstring longForm(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    return path;
}

bool isDots(const wchar_t* name) { return !wcscmp(name, L".") || !wcscmp(name, L".."); }

class Checker {
public:
    Checker(platform::CopyCheck& out, bool withHidden) : out_(out), withHidden_(withHidden) {}

    // One source file against its namesake in the destination folder.
    void file(const std::wstring& target, const std::wstring& rel, const WIN32_FIND_DATAW& source) {
        WIN32_FILE_ATTRIBUTE_DATA there;
        const bool same = GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &there) &&
                          !(there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          there.nFileSizeHigh == source.nFileSizeHigh && there.nFileSizeLow == source.nFileSizeLow;
        if (same) {
            ++out_.files;
            out_.bytes += (std::uint64_t(source.nFileSizeHigh) << 32) | source.nFileSizeLow;
            return;
        }
        if (out_.missingCount++ < kNamesShown) out_.missing.push_back(narrow(rel));
    }

    // Every file below `from`, at any depth, has its copy below `to`.
    void tree(const std::wstring& from, const std::wstring& to, const std::wstring& rel) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            if (skipped(found)) continue;
            const std::wstring name = rel.empty() ? found.cFileName : rel + L"\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                tree(from + L"\\" + found.cFileName, to + L"\\" + found.cFileName, name);
            else
                file(to + L"\\" + found.cFileName, name, found);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }

    // The files of one folder that a name or mask picks, each in `to`.
    void matching(const std::wstring& pattern, const std::wstring& to) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(pattern.c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            if (!skipped(found) && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                file(to + L"\\" + found.cFileName, found.cFileName, found);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }

private:
    bool skipped(const WIN32_FIND_DATAW& found) const {
        return isDots(found.cFileName) ||
               (!withHidden_ && (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)));
    }
    platform::CopyCheck& out_;
    bool withHidden_;
};

}  // namespace

platform::CopyCheck Win32Shell::checkCopy(const std::string& from, const std::string& to, bool withHidden) {
    platform::CopyCheck out;
    out.checked = true;
    const std::wstring source = longForm(widen(from)), target = longForm(widen(to));
    Checker checker(out, withHidden);
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        checker.tree(source, target, L"");
        return out;
    }
    const std::wstring folder = source.substr(0, source.find_last_of(L'\\'));
    const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        out.failure = "Diretório fonte inexistente: " + from.substr(0, from.find_last_of("\\/"));
    else {
        checker.matching(source, target);
        if (out.files + out.missingCount == 0) out.failure = "Nenhum arquivo encontrado em " + from;
    }
    return out;
}

}  // namespace tarvex::win32
