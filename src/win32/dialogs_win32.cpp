#include "win32/dialogs_win32.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

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

// Selects the starting folder once the browser is up.
int CALLBACK preselect(HWND dlg, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, data);
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
    bi.lpfn = preselect;
    bi.lParam = isFolder(start) ? reinterpret_cast<LPARAM>(start.c_str()) : 0;
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
