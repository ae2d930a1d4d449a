// Appending one entry to a text file, whole or not at all.
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "platform/files_seams.h"

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

namespace tarvex::platform {

namespace {

#ifdef _WIN32
using Offset = long long;
int openRw(const std::string& path) {
    int fd = -1;
    _wsopen_s(&fd, fsPath(path).c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
              _S_IREAD | _S_IWRITE);
    return fd;
}
Offset seekTo(int fd, Offset at, int whence) { return _lseeki64(fd, at, whence); }
long readSome(int fd, char* buf, unsigned n) { return _read(fd, buf, n); }
long writeSome(int fd, const char* buf, size_t n) { return _write(fd, buf, static_cast<unsigned>(n)); }
bool cutTo(int fd, Offset length) { return _chsize_s(fd, length) == 0; }
int closeFd(int fd) { return _close(fd); }
#else
using Offset = off_t;
int openRw(const std::string& path) { return ::open(fsPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666); }
Offset seekTo(int fd, Offset at, int whence) { return ::lseek(fd, at, whence); }
long readSome(int fd, char* buf, unsigned n) { return ::read(fd, buf, n); }
long writeSome(int fd, const char* buf, size_t n) { return ::write(fd, buf, n); }
bool cutTo(int fd, Offset length) { return ::ftruncate(fd, length) == 0; }
int closeFd(int fd) { return ::close(fd); }
#endif

// What the new entry needs in front: nothing after a whole line, the line end
// a torn last line (an earlier kill or full disk) lacks.
std::string lineStart(int fd, Offset length) {
    if (length <= 0) return {};
    char last = '\n';
    if (seekTo(fd, length - 1, SEEK_SET) != length - 1 || readSome(fd, &last, 1) != 1) return "\r\n";
    if (last == '\n') return {};
    return last == '\r' ? "\n" : "\r\n";
}

const char* const kWriteError = "Erro na gravação do arquivo";

}  // namespace

IoResult appendWhole(const std::string& path, const std::string& bytes) {
    clearSystemError();
    const int fd = detail::openAllowed(path) && !path.empty() ? openRw(path) : -1;
    if (fd < 0) return ioError(kWriteError, path, errno ? lastSystemError() : accessDenied());
    const Offset length = seekTo(fd, 0, SEEK_END);
    IoResult fault;
    if (length < 0) fault = ioError(kWriteError, path, lastSystemError());
    if (!fault) {
        const std::string entry = lineStart(fd, length) + bytes;
        // One call, so a kill cannot leave half of it; a short write is cut off again.
        const size_t room = detail::roomFor(entry.size());
        clearSystemError();
        const long written = seekTo(fd, length, SEEK_SET) == length ? writeSome(fd, entry.data(), room) : -1;
        if (written != static_cast<long>(entry.size())) {
            fault = ioError(kWriteError, path, written < 0 ? lastSystemError() : diskFull());
            cutTo(fd, length);
        }
    }
    if (closeFd(fd) != 0 && !fault) fault = ioError(kWriteError, path, lastSystemError());
    return fault;
}

}  // namespace tarvex::platform
