#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/cp1252.h"
#include "platform/files_seams.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tarvex::platform {

namespace {

DiskFaults noFaults;
std::atomic<DiskFaults*> faults{&noFaults};

const char* const kReadError = "Erro na leitura do arquivo";

std::FILE* openFile(const std::string& path, const char* mode) {
    return detail::openAllowed(path) ? detail::openPath(fsPath(path), mode) : nullptr;
}

}  // namespace

std::FILE* detail::openPath(const fs::path& p, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(p.c_str(), wmode.c_str());
#else
    return std::fopen(p.c_str(), mode);
#endif
}

DiskFaults& diskFaults() { return *faults.load(); }
void setDiskFaults(DiskFaults* f) { faults = f ? f : &noFaults; }

bool detail::openAllowed(const std::string& path) { return diskFaults().opens(path); }

size_t detail::roomFor(size_t bytes) { return std::min(diskFaults().room(bytes), bytes); }

fs::path fsPath(const std::string& cp1252Path) {
#ifdef _WIN32
    const std::u16string u = cp1252ToUtf16(cp1252Path);
    // Beyond what Windows takes in the plain form (248 for a folder, 260 for a
    // file), the long form; shorter paths stay exactly as typed.
    if (u.size() >= kLongFrom) return longPath(cp1252Path);
    return fs::path(std::wstring(u.begin(), u.end()));
#else
    std::string s = cp1252ToUtf8(cp1252Path);
    for (char& c : s)
        if (c == '\\') c = '/';
    return fs::path(s);
#endif
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fsPath(path), ec);
}

bool dirExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(fsPath(path), ec);
}

bool createDir(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::create_directory(fsPath(path), ec);
}

bool removeFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::remove(fsPath(path), ec);
}

IoResult readFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    clearSystemError();
    std::FILE* f = path.empty() ? nullptr : openFile(path, "rb");
    if (!f) return ioError(kReadError, path, errno ? lastSystemError() : accessDenied());
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const std::error_code why = lastSystemError();
    std::fclose(f);
    if (!failed) return std::nullopt;
    bytes.clear();
    return ioError(kReadError, path, why);
}

std::optional<std::string> readFile(const std::string& path) {
    std::string bytes;
    if (readFile(path, bytes)) return std::nullopt;
    return bytes;
}

IoResult readFileAt(const std::string& path, std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.clear();
    clearSystemError();
    std::FILE* f = path.empty() ? nullptr : openFile(path, "rb");
    if (!f) return ioError(kReadError, path, errno ? lastSystemError() : accessDenied());
#ifdef _WIN32
    const bool placed = _fseeki64(f, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    const bool placed = fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
    bytes.resize(count);
    const size_t n = placed ? std::fread(bytes.data(), 1, count, f) : 0;
    const bool failed = !placed || std::ferror(f) != 0;
    const std::error_code why = lastSystemError();
    std::fclose(f);
    bytes.resize(failed ? 0 : n);
    if (!failed) return std::nullopt;
    return ioError(kReadError, path, why);
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = path.empty() ? 0 : fs::file_size(fsPath(path), ec);
    if (path.empty() || ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

namespace {

fs::path runningExe() {
    fs::path exe;
#ifdef _WIN32
    // The C runtime keeps the program's path; a narrow-main program may have only
    // the 8-bit one.
    const wchar_t* wide = _wpgmptr;
    const char* narrow = _pgmptr;
    if (wide && *wide) exe = fs::path(wide);
    else if (narrow && *narrow) exe = fsPath(narrow);
#else
    std::error_code ec;
    exe = fs::read_symlink("/proc/self/exe", ec);
#endif
    return exe;
}

}  // namespace

std::string exePath() { return fromFsPath(runningExe()); }

std::string exeFolder() {
    const fs::path exe = runningExe();
    std::error_code cwdError;
    fs::path folder = exe.empty() ? fs::current_path(cwdError) : exe.parent_path();
    std::string s = fromFsPath(folder);
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

}  // namespace tarvex::platform
