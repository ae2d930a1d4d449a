#include "exec/zip_task.h"

#include <zip.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "exec/zip_pack.h"
#include "lib/errors.h"
#include "lib/mrqr.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tarvex::exec {

namespace {

// libzip takes UTF-8 names on every platform (on Windows it widens them itself).
std::string libzipName(const fs::path& p) {
    std::u8string u = p.generic_u8string();
    return std::string(u.begin(), u.end());
}

std::vector<std::string> splitMasks(const std::string& list) {
    std::vector<std::string> masks;
    size_t from = 0;
    while (from <= list.size()) {
        size_t to = std::min(list.find(';', from), list.size());
        std::string mask = trim(list.substr(from, to - from));
        if (!mask.empty()) masks.push_back(mask);
        from = to + 1;
    }
    return masks;
}

bool anyMatches(const std::vector<std::string>& masks, const std::string& name) {
    return std::any_of(masks.begin(), masks.end(),
                       [&](const std::string& m) { return maskMatches(m, name); });
}

struct Selection {
    std::vector<std::string> masks, excludes;
    fs::path archive;   // never packed into itself

    bool wants(const fs::directory_entry& e) const {
        std::string name = platform::fromFsPath(e.path().filename());
        if (!anyMatches(masks, name) || anyMatches(excludes, name)) return false;
        // A name without wildcards matches only itself, ignoring case; the
        // identity check runs only for such a namesake of the archive.
        std::error_code ec;
        bool isArchive = maskMatches(platform::fromFsPath(archive.filename()), name) &&
                         fs::equivalent(e.path(), archive, ec);
        return !isArchive;
    }
};

std::time_t modified(const fs::path& file) {
    std::error_code ec;
    const auto t = fs::last_write_time(file, ec);
    if (ec) return std::time(nullptr);
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(t)));
}

// Every wanted file below root, ordered by entry name.
std::vector<pack::Entry> collect(const fs::path& root, const Selection& sel) {
    std::vector<pack::Entry> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc) || !sel.wants(*it)) continue;
        const auto size = it->file_size(typeEc);
        if (typeEc) throw FileError("Erro ao ler " + platform::fromFsPath(it->path()) + ": " + typeEc.message());
        files.push_back({libzipName(it->path().lexically_relative(root)), it->path(), size, modified(it->path())});
    }
    if (ec) throw FileError("Erro ao ler a pasta " + platform::fromFsPath(root) + ": " + ec.message());
    std::sort(files.begin(), files.end(), [](const pack::Entry& a, const pack::Entry& b) { return a.name < b.name; });
    return files;
}

std::string openError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// Owns an open archive; an archive that was not closed is discarded, which
// leaves the file on disk as it was.
class Archive {
public:
    explicit Archive(const std::string& path) : path_(path) {
        int code = 0;
        za_ = zip_open(libzipName(platform::fsPath(path)).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        if (!za_) fail(openError(code));
    }
    ~Archive() { if (za_) zip_discard(za_); }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // libzip writes a temporary file beside the archive and renames it over the
    // old one only when complete. A worker's failure names its file; libzip
    // only knows that a read failed.
    void close(const pack::Packer& packer) {
        if (zip_close(za_) != 0) {
            const std::string why = packer.failure();
            fail(why.empty() ? zip_strerror(za_) : why);
        }
        za_ = nullptr;
    }
    zip_t* get() const { return za_; }

    [[noreturn]] void fail(const std::string& why) const {
        throw FileError("Erro ao gravar o arquivo ZIP " + path_ + " - " + why);
    }

private:
    std::string path_;
    zip_t* za_ = nullptr;
};

std::function<void(const std::string&)>& writtenHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

// Every entry read back whole: its name, its size against the file it came from,
// and its CRC, which libzip checks at the end of the read. Each thread reads
// every n-th entry through an archive handle of its own.
void verify(const std::string& path, const std::vector<pack::Entry>& files, int threads) {
    auto fail = [&](const std::string& why) {
        throw FileError("Erro na verificação do arquivo ZIP " + path + " - " + why);
    };
    const std::string name = libzipName(platform::fsPath(path));
    int code = 0;
    zip_t* za = zip_open(name.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) fail(openError(code));
    const bool countOk = zip_get_num_entries(za, 0) == static_cast<zip_int64_t>(files.size());
    zip_discard(za);
    if (!countOk) fail("número de arquivos");

    const std::size_t n = static_cast<std::size_t>(std::max(1, threads > 0 ? threads : pack::defaultThreads()));
    std::vector<std::string> problems(files.size());
    auto check = [&](std::size_t first) {
        int openCode = 0;
        zip_t* own = zip_open(name.c_str(), ZIP_RDONLY, &openCode);
        std::vector<char> buffer(1 << 16);
        for (std::size_t i = first; i < files.size(); i += n) {
            if (!own) {
                problems[i] = openError(openCode);
                return;
            }
            zip_stat_t st;
            std::error_code ec;
            const auto size = fs::file_size(files[i].file, ec);
            if (zip_stat_index(own, i, 0, &st) != 0 || files[i].name != st.name || ec || st.size != size) {
                problems[i] = files[i].name + ": nome ou tamanho";
                break;
            }
            zip_file_t* f = zip_fopen_index(own, i, 0);
            zip_uint64_t total = 0;
            zip_int64_t got = 0;
            while (f && (got = zip_fread(f, buffer.data(), buffer.size())) > 0) total += static_cast<zip_uint64_t>(got);
            if (!f || got < 0 || total != size)
                problems[i] = files[i].name + ": " + (f ? zip_file_strerror(f) : zip_strerror(own));
            if (f) zip_fclose(f);
            if (!problems[i].empty()) break;
        }
        if (own) zip_discard(own);
    };
    {
        std::vector<std::jthread> readers;
        for (std::size_t t = 1; t < n; ++t) readers.emplace_back(check, t);
        check(0);
    }
    for (const std::string& problem : problems)
        if (!problem.empty()) fail(problem);
}

}  // namespace

void writeZip(const ZipJob& job, const ZipProgressFn& progress) {
    const std::string source = trim(job.sourceDir);
    const fs::path root = platform::fsPath(source);
    if (source.empty() || !platform::dirExists(source))
        throw FileError("Diretório de origem inexistente: " + source);

    const std::string temp = job.archivePath + ".tmp~";
    std::error_code ec;
    fs::remove(platform::fsPath(temp), ec);   // left by a run that was cut short
    Selection sel{splitMasks(job.masks), splitMasks(job.excludes),
                  fs::absolute(platform::fsPath(job.archivePath))};
    if (sel.masks.empty()) sel.masks.push_back("*.*");

    auto files = collect(root, sel);
    // libzip deletes an archive left without entries, which would destroy the
    // previous one while reporting success.
    if (files.empty()) throw FileError("Nenhum arquivo para compactar em " + source);

    ZipProgress state{0, files.size(), 0, 0};
    for (const auto& f : files) state.bytesTotal += f.size;
    if (progress) progress(state);
    try {
        Archive archive(temp);
        pack::Packer packer(files, job.threads, job.chunkSize, [&](std::size_t done, std::uint64_t bytes) {
            state.files = done;
            state.bytes = bytes;
            if (progress) progress(state);
        });
        try {
            packer.addAll(archive.get());
        } catch (const std::exception& e) {
            archive.fail(e.what());
        }
        archive.close(packer);
        if (writtenHook()) writtenHook()(temp);
        verify(temp, files, job.threads);
    } catch (...) {
        fs::remove(platform::fsPath(temp), ec);
        throw;
    }
    fs::rename(platform::fsPath(temp), platform::fsPath(job.archivePath), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(platform::fsPath(temp), ignored);
        throw FileError("Erro ao gravar o arquivo ZIP " + job.archivePath + " - " + ec.message());
    }
}

void setZipWrittenHookForTests(std::function<void(const std::string&)> hook) { writtenHook() = std::move(hook); }

}  // namespace tarvex::exec
