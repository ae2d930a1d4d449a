// Paths beyond 260 characters. Windows takes them only in the "\\?\" form, and
// the C runtime's own folder walk (behind std::filesystem's iterators) cuts the
// path at 260 and answers "No such file or directory" for a deep folder that
// exists: folders are read here with the runtime's find functions instead.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "platform/cp1252.h"
#include "platform/files.h"
#include "platform/files_long.h"

#ifdef _WIN32
#include <io.h>
#endif

namespace fs = std::filesystem;

namespace tarvex::platform {

namespace {

#ifdef _WIN32
const std::wstring kLong = L"\\\\?\\";
const std::wstring kLongUnc = L"\\\\?\\UNC\\";

bool startsWith(const std::wstring& s, const std::wstring& head) { return s.compare(0, head.size(), head) == 0; }
#endif

const char* const kListError = "Erro ao ler a pasta";

std::atomic<FullPathRule> fullPathRule{nullptr};

// The rule's full form of `path`, without "." or ".."; false when there is none.
// The system's rule needs no lexically_normal(), which under mingw would make the
// two backslashes of a share one.
bool madeFull(const fs::path& path, fs::path& full) {
    if (const FullPathRule rule = fullPathRule.load()) {
        const std::wstring w = rule(path.wstring());
        if (w.empty()) return false;
        full = fs::path(w);
        return true;
    }
    std::error_code ec;
    full = fs::absolute(path, ec).lexically_normal();
    return !ec;
}

}  // namespace

void setFullPathRule(FullPathRule rule) { fullPathRule = rule; }

fs::path fullPath(const std::string& cp1252Path) {
    const fs::path given = fsPath(cp1252Path);
    fs::path full;
    return madeFull(given, full) ? full : given;
}

fs::path longPath(const std::string& cp1252Path) {
#ifdef _WIN32
    const std::u16string u = cp1252ToUtf16(cp1252Path);
    std::wstring w(u.begin(), u.end());
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    if (w.empty() || startsWith(w, kLong) || startsWith(w, L"\\\\.\\")) return fs::path(w);
    fs::path full;
    if (!madeFull(fs::path(w), full)) return fs::path(w);
    w = full.wstring();
    while (w.size() > 3 && w.back() == L'\\') w.pop_back();
    if (startsWith(w, L"\\\\")) return fs::path(kLongUnc + w.substr(2));
    if (w.size() >= 3 && w[1] == L':' && w[2] == L'\\') return fs::path(kLong + w);
    return fs::path(w);
#else
    return fsPath(cp1252Path);
#endif
}

// Defined here beside longPath, whose prefix it takes off again.
std::string fromFsPath(const fs::path& p) {
#ifdef _WIN32
    std::wstring w = p.wstring();
    if (startsWith(w, kLongUnc)) w = L"\\\\" + w.substr(kLongUnc.size());
    else if (startsWith(w, kLong)) w = w.substr(kLong.size());
    return utf16ToCp1252(std::u16string(w.begin(), w.end()));
#else
    std::string s = utf8ToCp1252(p.string());
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
#endif
}

std::string inFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

#ifdef _WIN32

IoResult listFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring pattern = folder.wstring();
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    clearSystemError();
    _wfinddata64_t found;
    const intptr_t h = _wfindfirst64(pattern.c_str(), &found);
    if (h == -1) {
        // An empty drive root has not even "." to show.
        std::error_code ec;
        if (errno == ENOENT && fs::is_directory(folder, ec)) return std::nullopt;
        return ioError(kListError, fromFsPath(folder), lastSystemError());
    }
    do {
        const std::wstring name = found.name;
        if (name == L"." || name == L"..") continue;
        FolderEntry e;
        e.name = utf16ToCp1252(std::u16string(name.begin(), name.end()));
        e.folder = (found.attrib & _A_SUBDIR) != 0;
        e.size = e.folder ? 0 : static_cast<std::uint64_t>(found.size);
        e.modified = static_cast<std::int64_t>(found.time_write);
        entries.push_back(std::move(e));
    } while (_wfindnext64(h, &found) == 0);
    _findclose(h);
    return std::nullopt;
}

#else

IoResult listFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        FolderEntry entry;
        entry.name = fromFsPath(it->path().filename());
        entry.folder = it->is_directory(e);
        const std::uintmax_t size = entry.folder ? 0 : it->file_size(e);
        entry.size = e ? 0 : static_cast<std::uint64_t>(size);
        const auto t = it->last_write_time(e);
        entry.modified = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::file_clock::to_sys(t).time_since_epoch()).count();
        entries.push_back(std::move(entry));
    }
    if (ec) return ioError(kListError, fromFsPath(folder), ec);
    return std::nullopt;
}

#endif

}  // namespace tarvex::platform
