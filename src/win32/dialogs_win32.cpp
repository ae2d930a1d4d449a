#include "win32/dialogs_win32.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "win32/callback_guard.h"
#include "win32/wide.h"

namespace tarvex::win32 {

std::wstring filterPairs(const std::string& filter) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t bar; (bar = filter.find('|', from)) != std::string::npos; from = bar + 1)
        parts.push_back(filter.substr(from, bar - from));
    parts.push_back(filter.substr(from));
    if (parts.size() % 2) parts.push_back("*.*");
    std::wstring out;
    for (const auto& p : parts) {
        out += widen(p);
        out += L'\0';
    }
    out += L'\0';
    return out;
}

namespace {

bool isFolder(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The browser's own first selection, or a change of the folders it lists while it
// walks its tree, can leave the tree on another folder; the selection is asked
// again until the tree holds the wanted folder, then left to the operator.
struct Preselection {
    std::wstring folder;
    bool reached = false;
    int tries = 0;
};
constexpr UINT_PTR kPreselectTimer = 0x7A01;
constexpr int kPreselectTries = 50;   // every 100 ms: five seconds
const wchar_t* const kPreselectProp = L"TARVEX.Preselection";

bool samePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void askSelection(HWND dlg, Preselection& p) {
    ++p.tries;
    SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(p.folder.c_str()));
}

void CALLBACK retrySelection(HWND dlg, UINT, UINT_PTR id, DWORD) {
    guarded([&] {
        auto* p = static_cast<Preselection*>(GetPropW(dlg, kPreselectProp));
        if (!p || p->reached || p->tries >= kPreselectTries) {
            KillTimer(dlg, id);
            return;
        }
        askSelection(dlg, *p);
    });
}

int CALLBACK preselect(HWND dlg, UINT msg, LPARAM param, LPARAM data) {
    auto* p = reinterpret_cast<Preselection*>(data);
    if (!p) return 0;
    guarded([&] {
        if (msg == BFFM_INITIALIZED) {
            SetPropW(dlg, kPreselectProp, p);
            askSelection(dlg, *p);
            if (!p->reached) SetTimer(dlg, kPreselectTimer, 100, retrySelection);
        } else if (msg == BFFM_SELCHANGED && param && !p->reached) {
            wchar_t path[MAX_PATH] = {};
            if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path) && samePath(path, p->folder))
                p->reached = true;
        }
    });
    return 0;
}

// "D:\" stays a root; any other folder loses its trailing backslash.
std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

}  // namespace

std::optional<std::string> Win32Dialogs::browseFolder(const std::string& title, const std::string& initial) {
    std::wstring wTitle = widen(title);
    std::wstring start = widen(withoutTrailingSlash(initial));
    BROWSEINFOW bi{};
    bi.hwndOwner = owner();
    bi.lpszTitle = wTitle.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    Preselection wanted{start};
    bi.lpfn = preselect;
    bi.lParam = isFolder(start) ? reinterpret_cast<LPARAM>(&wanted) : 0;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&bi);
    std::optional<std::string> result;
    if (chosen) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen, path)) result = withoutTrailingSlash(narrow(path));
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

std::optional<std::string> Win32Dialogs::openFile(const std::string& filter, const std::string& start) {
    std::wstring wFilter = filterPairs(filter);
    std::wstring wStart = widen(start);
    std::vector<wchar_t> file(32768, L'\0');   // a long path is kept whole
    std::wstring folder;
    if (isFolder(wStart)) {
        folder = wStart;
    } else if (!wStart.empty()) {
        wStart.copy(file.data(), std::min(wStart.size(), file.size() - 1));
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner();
    ofn.lpstrFilter = wFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return narrow(file.data());
}

}  // namespace tarvex::win32
