#include "exec/zip_task.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "exec/keep_last.h"
#include "exec/zip_aes.h"
#include "exec/zip_pack.h"
#include "exec/zip_verify.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "platform/cp1252.h"
#include "platform/files.h"
#include "platform/files_long.h"

namespace fs = std::filesystem;

namespace tarvex::exec {

namespace {

// libzip takes UTF-8 names on every platform (on Windows it widens them itself).
std::string libzipName(const fs::path& p) {
    std::u8string u = p.generic_u8string();
    return std::string(u.begin(), u.end());
}

// An archive's own path for libzip: a long form's "\\?\" takes only "\".
std::string libzipPath(const std::string& path) {
    std::u8string u = platform::fsPath(path).u8string();
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
    std::optional<DatedNames> own;   // the task's archives of other days
    fs::path skipFolder;             // the destination, when below the source
    ZipLeftOut leftOut;

    bool wants(const fs::path& file, const std::string& name) {
        if (!anyMatches(masks, name) || anyMatches(excludes, name)) return false;
        // A name without wildcards matches only itself, ignoring case; the
        // identity check runs only for such a namesake of the archive.
        std::error_code ec;
        bool isArchive = maskMatches(platform::fromFsPath(archive.filename()), name) &&
                         fs::equivalent(file, archive, ec);
        if (isArchive) return false;
        if (own && own->fits(name)) {
            ++leftOut.archives;
            return false;
        }
        return true;
    }
    bool skips(const fs::path& folder) {
        std::error_code ec;
        if (skipFolder.empty() || !fs::equivalent(folder, skipFolder, ec)) return false;
        leftOut.destination = true;
        return true;
    }
};

// The destination folder when it lies inside the source: the archives there, and
// whatever else the task keeps beside them, would otherwise be packed again every day.
fs::path folderToSkip(const fs::path& root, const fs::path& archive) {
    std::error_code ec;
    const fs::path folder = archive.parent_path();
    if (!fs::exists(folder, ec) || fs::equivalent(folder, root, ec)) return {};
    const fs::path relative = fs::weakly_canonical(folder, ec).lexically_relative(fs::weakly_canonical(root, ec));
    if (ec || relative.empty() || *relative.begin() == "..") return {};
    return folder;
}

// Every wanted file below `folder` (at `rel` below the root), at any depth. Each
// path gets the long form only where it needs it.
void collectFrom(const std::string& folder, const fs::path& rel, Selection& sel, std::vector<pack::Entry>& files) {
    std::vector<platform::FolderEntry> found;
    if (auto error = platform::listFolder(platform::fsPath(folder), found)) throw FileError(error->text);
    for (const platform::FolderEntry& e : found) {
        const std::string path = platform::inFolder(folder, e.name);
        const fs::path file = platform::fsPath(path), name = platform::fsPath(e.name);
        if (e.folder) {
            if (!sel.skips(file)) collectFrom(path, rel / name, sel, files);
        } else if (sel.wants(file, e.name)) {
            files.push_back({libzipName(rel / name), file, e.size, static_cast<std::time_t>(e.modified)});
        }
    }
}

// Every wanted file below the source folder, ordered by entry name.
std::vector<pack::Entry> collect(const std::string& source, Selection& sel) {
    std::vector<pack::Entry> files;
    collectFrom(source, {}, sel, files);
    std::sort(files.begin(), files.end(), [](const pack::Entry& a, const pack::Entry& b) { return a.name < b.name; });
    return files;
}

// The system's code as libzip passes it: an errno, a Windows code, or a Windows
// code it offset by 10000 for want of an errno.
int windowsOrErrno(int code) { return code >= 10000 ? code - 10000 : code; }

std::string systemCause(int code) {
    switch (windowsOrErrno(code)) {
    case ENOSPC: case 112: case 39: return "disco cheio, não há espaço no destino";
    case EINVAL: case 123: case 161: return "nome de arquivo inválido";
    case ENOENT: case 3: return "a pasta de destino não existe";
    case EACCES: case 5: return "acesso negado";
    case 32: case 33: return "o arquivo está em uso por outro programa";
    default: return "erro do sistema " + std::to_string(code);
    }
}

// The cause in the operator's words: libzip's texts are English, and for a
// system error it cannot name they read "Unknown error".
std::string cause(zip_error_t* error) {
    const int sys = zip_error_code_system(error);
    if (zip_error_system_type(error) == ZIP_ET_SYS && sys != 0) return systemCause(sys);
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_WRITE: return "erro de gravação";
    case ZIP_ER_READ: return "erro de leitura";
    case ZIP_ER_TMPOPEN: return "não foi possível criar o arquivo temporário no destino";
    case ZIP_ER_OPEN: return "não foi possível abrir o arquivo";
    case ZIP_ER_MEMORY: return "memória insuficiente";
    default: return zip_error_strerror(error);
    }
}

std::string cause(int zipCode) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipCode);
    std::string text = cause(&error);
    zip_error_fini(&error);
    return text;
}

// Windows refuses these in a file name; said before anything is written.
void checkName(const std::string& archivePath) {
    const std::string name = platform::fromFsPath(platform::fsPath(archivePath).filename());
    std::string wrong;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < ' ') wrong = "um caractere de controle";
        else if (std::string("<>:\"/\\|?*").find(c) != std::string::npos) wrong = std::string("\"") + c + "\"";
        if (!wrong.empty()) break;
    }
    if (wrong.empty() && (name.empty() || name.back() == ' ' || name.back() == '.')) wrong = "um espaço ou ponto no fim";
    if (!wrong.empty())
        throw FileError("Erro ao gravar o arquivo ZIP " + archivePath + " - nome de arquivo inválido: \"" + name +
                        "\" tem " + wrong + ", que o Windows não aceita em nomes de arquivo.");
}

// Owns an open archive; an archive that was not closed is discarded, which
// leaves the file on disk as it was.
class Archive {
public:
    explicit Archive(const std::string& path) : path_(path) {
        int code = 0;
        za_ = zip_open(libzipPath(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        if (!za_) fail(cause(code));
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
            fail(why.empty() ? cause(zip_get_error(za_)) : why);
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

}  // namespace

ZipLeftOut writeZip(const ZipJob& job, const ZipProgressFn& progress) {
    const std::string source = trim(job.sourceDir);
    const fs::path root = platform::fsPath(source);
    if (source.empty() || !platform::dirExists(source))
        throw FileError("Diretório de origem inexistente: " + source);

    checkName(job.archivePath);
    // Never an open archive in place of the encrypted one asked for.
    if (!job.password.empty() && !pack::aesAvailable())
        throw FileError("Erro ao gravar o arquivo ZIP " + job.archivePath +
                        " - esta instalação não consegue criptografar arquivos ZIP (AES)");
    const std::string temp = job.archivePath + ".tmp~";
    std::error_code ec;
    fs::remove(platform::fsPath(temp), ec);   // left by a run that was cut short
    Selection sel{splitMasks(job.masks), splitMasks(job.excludes),
                  platform::fullPath(job.archivePath), std::nullopt, {}, {}};
    if (sel.masks.empty()) sel.masks.push_back("*.*");
    if (!trim(job.ownPattern).empty()) sel.own.emplace(trim(job.ownPattern));
    sel.skipFolder = folderToSkip(root, sel.archive);

    std::optional<pack::ArchivePassword> password;
    if (!job.password.empty()) password.emplace(job.password);
    std::vector<pack::Entry> files;
    {
        // The walk mostly waits on the system (under Wine, on its server): the
        // entries' keys are derived meanwhile on a core it leaves idle.
        std::jthread ahead;
        if (password) ahead = std::jthread([&](std::stop_token stop) { password->deriveAhead(stop); });
        files = collect(source, sel);
    }
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
            packer.encryptWith(password ? &*password : nullptr);
            packer.addAll(archive.get());
        } catch (const std::exception& e) {
            archive.fail(e.what());
        }
        archive.close(packer);
        platform::diskFaults().written(temp);
        const std::string wrong =
            pack::verifyArchive(libzipPath(temp), files, job.threads, password ? &*password : nullptr);
        if (!wrong.empty()) throw FileError("Erro na verificação do arquivo ZIP " + temp + " - " + wrong);
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
    return sel.leftOut;
}

ZipPlan planZip(const ZipJob& job, std::size_t names) {
    const std::string source = trim(job.sourceDir);
    if (source.empty() || !platform::dirExists(source))
        throw FileError("Diretório de origem inexistente: " + source);
    const fs::path root = platform::fsPath(source);
    Selection sel{splitMasks(job.masks), splitMasks(job.excludes),
                  platform::fullPath(job.archivePath), std::nullopt, {}, {}};
    if (sel.masks.empty()) sel.masks.push_back("*.*");
    if (!trim(job.ownPattern).empty()) sel.own.emplace(trim(job.ownPattern));
    sel.skipFolder = folderToSkip(root, sel.archive);
    ZipPlan plan;
    for (const pack::Entry& f : collect(source, sel)) {
        ++plan.files;
        plan.bytes += f.size;
        if (plan.first.size() < names) plan.first.push_back(replaceText(platform::utf8ToCp1252(f.name), "/", "\\"));
    }
    plan.leftOut = sel.leftOut;
    return plan;
}

}  // namespace tarvex::exec
