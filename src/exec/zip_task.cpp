#include "exec/zip_task.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

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

// (entry name, file) for every wanted file below root, ordered by entry name.
std::vector<std::pair<std::string, fs::path>> collect(const fs::path& root, const Selection& sel) {
    std::vector<std::pair<std::string, fs::path>> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc) || !sel.wants(*it)) continue;
        files.emplace_back(libzipName(it->path().lexically_relative(root)), it->path());
    }
    if (ec) throw FileError("Erro ao ler a pasta " + platform::fromFsPath(root) + ": " + ec.message());
    std::sort(files.begin(), files.end());
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

    void add(const std::string& entry, const fs::path& file) {
        zip_source_t* src = zip_source_file(za_, libzipName(file).c_str(), 0, -1);
        if (!src) fail(platform::fromFsPath(file) + ": " + zip_strerror(za_));
        // ZIP_CM_DEFAULT deflates at the normal level.
        if (zip_file_add(za_, entry.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(src);
            fail(platform::fromFsPath(file) + ": " + zip_strerror(za_));
        }
    }

    // Writes everything to a temporary file beside the archive and renames it
    // over the old one only when complete.
    void close() {
        if (zip_close(za_) != 0) fail(zip_strerror(za_));
        za_ = nullptr;
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw FileError("Erro ao gravar o arquivo ZIP " + path_ + " - " + why);
    }
    std::string path_;
    zip_t* za_ = nullptr;
};

// libzip's default method stores a file that deflate does not shrink only
// when the file fits its first read buffer; larger ones are set to stored in a
// second pass. The archive is already complete, so a failure here only leaves
// it deflated.
void storeWhatDidNotShrink(const std::string& path) {
    int code = 0;
    zip_t* za = zip_open(libzipName(platform::fsPath(path)).c_str(), 0, &code);
    if (!za) return;
    bool changed = false;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, i, 0, &st) == 0 && st.comp_method != ZIP_CM_STORE && st.comp_size >= st.size)
            changed = zip_set_file_compression(za, i, ZIP_CM_STORE, 0) == 0 || changed;
    }
    if (!changed || zip_close(za) != 0) zip_discard(za);
}

std::function<void(const std::string&)>& writtenHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

// Every entry read back whole: its name, its size against the file it came from,
// and its CRC, which libzip checks at the end of the read.
void verify(const std::string& path, const std::vector<std::pair<std::string, fs::path>>& files) {
    auto fail = [&](const std::string& why) {
        throw FileError("Erro na verificação do arquivo ZIP " + path + " - " + why);
    };
    int code = 0;
    zip_t* za = zip_open(libzipName(platform::fsPath(path)).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) fail(openError(code));
    std::string problem;
    if (zip_get_num_entries(za, 0) != static_cast<zip_int64_t>(files.size())) problem = "número de arquivos";
    std::vector<char> buffer(1 << 16);
    for (zip_uint64_t i = 0; problem.empty() && i < files.size(); ++i) {
        zip_stat_t st;
        std::error_code ec;
        const auto size = fs::file_size(files[i].second, ec);
        if (zip_stat_index(za, i, 0, &st) != 0 || files[i].first != st.name || ec || st.size != size) {
            problem = files[i].first + ": nome ou tamanho";
            break;
        }
        zip_file_t* f = zip_fopen_index(za, i, 0);
        zip_uint64_t total = 0;
        zip_int64_t n = 0;
        while (f && (n = zip_fread(f, buffer.data(), buffer.size())) > 0) total += static_cast<zip_uint64_t>(n);
        if (!f || n < 0 || total != size) problem = files[i].first + ": " + (f ? zip_file_strerror(f) : zip_strerror(za));
        if (f) zip_fclose(f);
    }
    zip_discard(za);
    if (!problem.empty()) fail(problem);
}

}  // namespace

void writeZip(const ZipJob& job) {
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

    try {
        Archive archive(temp);
        for (const auto& [entry, file] : files) archive.add(entry, file);
        archive.close();
        storeWhatDidNotShrink(temp);
        if (writtenHook()) writtenHook()(temp);
        verify(temp, files);
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
