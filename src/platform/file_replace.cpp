// Writing a whole file: through a temporary beside it that replaces the old
// file in one step, or plainly over it.
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/files.h"
#include "platform/files_seams.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tarvex::platform {

namespace {

const char* const kWriteError = "Erro na gravação do arquivo";
const char* const kTempMark = ".tmp~";

bool syncToDisk(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

// Writes every piece (flushed to disk when `sync`) and closes the file in every
// case; the reason when anything failed, the pieces' own reason first.
IoResult writeAndClose(std::FILE* f, const Pieces& pieces, bool sync, const std::string& path) {
    std::string piece;
    std::error_code why;
    IoResult given;
    bool failed = false;
    clearSystemError();
    while (!failed) {
        piece.clear();
        if ((given = pieces(piece))) break;
        if (piece.empty()) break;
        const size_t room = detail::roomFor(piece.size());
        failed = std::fwrite(piece.data(), 1, room, f) != room;
        if (room < piece.size()) why = diskFull(), failed = true;
        else if (failed) why = lastSystemError();
    }
    if (!failed && !given && sync && !syncToDisk(f)) failed = true, why = lastSystemError();
    failed = std::fclose(f) != 0 || failed;
    if (given) return given;
    if (!failed) return std::nullopt;
    if (!why) why = lastSystemError();
    return ioError(kWriteError, path, why ? why : diskFull());   // a short write with no reason given: the usual one
}

Pieces onePiece(const std::string& bytes) {
    return [&bytes, given = false](std::string& piece) mutable -> IoResult {
        if (!given) piece = bytes;
        given = true;
        return std::nullopt;
    };
}

fs::path tempName(const fs::path& target, int n) {
    fs::path temp = target;
    temp += kTempMark;
    if (n > 0) temp += std::to_string(n);
    return temp;
}

// The temporary beside `target`. A leftover of an interrupted save that refuses
// the open (read-only, say) is removed; one that cannot go is passed over.
std::FILE* openTemp(const fs::path& target, fs::path& temp) {
    for (int n = 0; n < 10; ++n) {
        temp = tempName(target, n);
        if (std::FILE* f = detail::openPath(temp, "wb")) return f;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(temp, ec))) return nullptr;   // the folder itself refuses
        fs::permissions(temp, fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove(temp, ec);
        if (std::FILE* f = detail::openPath(temp, "wb")) return f;
    }
    return nullptr;
}

bool readOnly(const fs::file_status& st) {
    return fs::is_regular_file(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// A name only the temporaries of these routines carry: ".tmp~", maybe a number.
bool isTempName(const std::string& name) {
    const size_t mark = name.rfind(kTempMark);
    if (mark == std::string::npos || mark == 0) return false;
    for (size_t i = mark + 5; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

}  // namespace

IoResult replaceFile(const std::string& path, const std::string& bytes) { return replaceFileFrom(path, onePiece(bytes)); }

IoResult replaceFileFrom(const std::string& path, const Pieces& pieces) {
    if (path.empty()) return ioError(kWriteError, path, std::make_error_code(std::errc::invalid_argument));
    const fs::path target = fsPath(path);
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    // A read-only file refuses the replace just as it refuses an overwrite.
    if (readOnly(old)) return ioError(kWriteError, path, accessDenied());
    clearSystemError();
    fs::path temp;
    std::FILE* f = detail::openAllowed(path) ? openTemp(target, temp) : nullptr;
    if (!f) return ioError(kWriteError, path, errno ? lastSystemError() : accessDenied());
    if (IoResult fault = writeAndClose(f, pieces, true, path)) {
        fs::remove(temp, ec);
        return fault;
    }
    // The new file keeps the old one's permissions.
    if (fs::is_regular_file(old)) fs::permissions(temp, old.permissions(), ec);
    // On Windows a reader holding the old file for a moment (a backup tool, an
    // editor opening it) makes the replace fail; a few short retries ride that out.
    for (int attempt = 0; attempt < 10; ++attempt) {
        fs::rename(temp, target, ec);
        if (!ec || fs::is_directory(target)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!ec) return std::nullopt;
    std::error_code ignored;
    fs::remove(temp, ignored);
    return ioError(kWriteError, path, ec);
}

IoResult overwriteFile(const std::string& path, const std::string& bytes) {
    clearSystemError();
    std::FILE* f = path.empty() || !detail::openAllowed(path) ? nullptr : detail::openPath(fsPath(path), "wb");
    if (!f) return ioError(kWriteError, path, errno ? lastSystemError() : accessDenied());
    if (IoResult fault = writeAndClose(f, onePiece(bytes), false, path)) return fault;
    return std::nullopt;
}

int removeLeftoverTemps(const std::string& folder) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(fsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || !isTempName(fromFsPath(it->path().filename()))) continue;
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, fileEc);
        if (fs::remove(it->path(), fileEc)) ++removed;
    }
    return removed;
}

}  // namespace tarvex::platform
