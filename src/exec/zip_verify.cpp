#include "exec/zip_verify.h"

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

#include "exec/zip_aes.h"

namespace tarvex::exec::pack {

namespace {

struct ZipDiscard {
    void operator()(zip_t* za) const { zip_discard(za); }
};
struct ZipFileClose {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct Decompressor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};
using ZipReader = std::unique_ptr<zip_t, ZipDiscard>;
using ZipFile = std::unique_ptr<zip_file_t, ZipFileClose>;

// Entries up to this size are inflated in one call from their raw bytes,
// which is several times faster than libzip's streamed read; bigger ones
// stream through libzip, which checks the CRC at their end.
constexpr zip_uint64_t kWholeUpTo = zip_uint64_t{16} << 20;

class Reader {
public:
    Reader(const std::string& path, const ArchivePassword* password, int* code)
        : za_(zip_open(path.c_str(), ZIP_RDONLY, code)), password_(password) {
        if (za_ && password_) zip_set_default_password(za_.get(), password_->text().c_str());
    }
    explicit operator bool() const { return za_ && inflater_; }

    // Empty when the entry reads back as the file it came from.
    std::string check(zip_uint64_t index, const Entry& file) {
        zip_stat_t st;
        std::error_code ec;
        const auto size = std::filesystem::file_size(file.file, ec);
        if (zip_stat_index(za_.get(), index, 0, &st) != 0 || file.name != st.name || ec || st.size != size)
            return file.name + ": nome ou tamanho";
        if (password_ && st.encryption_method != ZIP_EM_AES_256) return file.name + ": sem criptografia";
        const bool whole = st.size <= kWholeUpTo && (st.comp_method == ZIP_CM_DEFLATE || st.comp_method == ZIP_CM_STORE);
        const bool sealed = whole && password_ && st.encryption_method == ZIP_EM_AES_256 &&
                            st.comp_method == ZIP_CM_DEFLATE;
        const std::string why =
            sealed ? checkSealed(index, st) : whole ? checkWhole(index, st) : checkStreamed(index, st.size);
        return why.empty() ? why : file.name + ": " + why;
    }

private:
    std::string checkWhole(zip_uint64_t index, const zip_stat_t& st) {
        ZipFile f(zip_fopen_index(za_.get(), index, ZIP_FL_COMPRESSED));
        if (!f) return openFailure();
        // Read to the end: an encrypted entry's authentication is checked there.
        raw_.resize(st.comp_size + 1);
        std::size_t n = 0;
        zip_int64_t got;
        while ((got = zip_fread(f.get(), raw_.data() + n, raw_.size() - n)) > 0) n += static_cast<std::size_t>(got);
        if (got < 0) return readFailure(f.get());
        if (st.encryption_method != ZIP_EM_NONE && st.comp_size < kAesOverhead) return "tamanho";
        const std::size_t expected = st.encryption_method == ZIP_EM_NONE ? st.comp_size : st.comp_size - kAesOverhead;
        if (n != expected) return "tamanho";
        const unsigned char* plain = raw_.data();
        if (st.comp_method == ZIP_CM_DEFLATE) {
            plain_.resize(st.size);
            std::size_t out = 0;
            if (libdeflate_deflate_decompress(inflater_.get(), raw_.data(), n, plain_.data(), plain_.size(), &out) !=
                    LIBDEFLATE_SUCCESS || out != st.size)
                return "dados compactados inválidos";
            plain = plain_.data();
        } else if (n != st.size) {
            return "tamanho";
        }
        // A short encrypted entry carries no CRC; its authentication code stands for it.
        if ((st.valid & ZIP_STAT_CRC) && libdeflate_crc32(0, plain, st.size) != st.crc) return "CRC";
        return {};
    }

    // An encrypted entry decrypted here with its own salt: libzip's reader derives
    // the keys with OpenSSL's slow PBKDF2, which tripled the time of a run.
    std::string checkSealed(zip_uint64_t index, const zip_stat_t& st) {
        ZipFile f(zip_fopen_index(za_.get(), index, ZIP_FL_ENCRYPTED));
        if (!f) return openFailure();
        raw_.resize(st.comp_size);
        if (st.comp_size < kAesOverhead ||
            zip_fread(f.get(), raw_.data(), raw_.size()) != static_cast<zip_int64_t>(raw_.size()))
            return "tamanho";
        unsigned char* data = raw_.data() + kAesSalt + kAesCheck;
        const std::size_t length = raw_.size() - kAesOverhead;
        try {
            EntryCipher cipher(*password_, raw_.data());
            const auto head = cipher.head();
            if (!std::equal(head.begin() + kAesSalt, head.end(), raw_.data() + kAesSalt)) return "senha incorreta";
            cipher.decrypt(data, length);
            const auto mac = cipher.finish();
            if (!std::equal(mac.begin(), mac.end(), data + length)) return "dados corrompidos (autenticação)";
        } catch (const std::exception& e) {
            return e.what();
        }
        plain_.resize(st.size);
        std::size_t out = 0;
        if (libdeflate_deflate_decompress(inflater_.get(), data, length, plain_.data(), plain_.size(), &out) !=
                LIBDEFLATE_SUCCESS || out != st.size)
            return "dados compactados inválidos";
        // A short encrypted entry carries no CRC; its authentication code stands for it.
        if ((st.valid & ZIP_STAT_CRC) && libdeflate_crc32(0, plain_.data(), st.size) != st.crc) return "CRC";
        return {};
    }

    std::string checkStreamed(zip_uint64_t index, zip_uint64_t size) {
        ZipFile f(zip_fopen_index(za_.get(), index, 0));
        if (!f) return openFailure();
        raw_.resize(1 << 16);
        zip_uint64_t total = 0;
        zip_int64_t got = 0;
        while ((got = zip_fread(f.get(), raw_.data(), raw_.size())) > 0) total += static_cast<zip_uint64_t>(got);
        if (got < 0) return readFailure(f.get());
        return total == size ? std::string() : "tamanho";
    }

    // libzip's texts are English; the two an encrypted archive brings, in the operator's words.
    std::string openFailure() {
        if (zip_error_code_zip(zip_get_error(za_.get())) == ZIP_ER_WRONGPASSWD) return "senha incorreta";
        return zip_strerror(za_.get());
    }
    static std::string readFailure(zip_file_t* f) {
        const int code = zip_error_code_zip(zip_file_get_error(f));
        if (code == ZIP_ER_CRC) return "dados corrompidos (CRC ou autenticação)";
        if (code == ZIP_ER_WRONGPASSWD) return "senha incorreta";
        return zip_file_strerror(f);
    }

    ZipReader za_;
    const ArchivePassword* password_;
    std::unique_ptr<libdeflate_decompressor, Decompressor> inflater_{libdeflate_alloc_decompressor()};
    std::vector<unsigned char> raw_, plain_;
};

}  // namespace

// Each thread reads every n-th entry through an archive handle of its own.
std::string verifyArchive(const std::string& path, const std::vector<Entry>& files, int threads,
                          const ArchivePassword* password) {
    int code = 0;
    {
        ZipReader za(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
        if (!za) return libzipError(code);
        if (zip_get_num_entries(za.get(), 0) != static_cast<zip_int64_t>(files.size())) return "número de arquivos";
    }
    const std::size_t n = static_cast<std::size_t>(std::max(1, threads > 0 ? threads : defaultThreads()));
    std::vector<std::string> problems(files.size());
    auto check = [&](std::size_t first) {
        int openCode = 0;
        Reader reader(path, password, &openCode);
        for (std::size_t i = first; i < files.size(); i += n) {
            problems[i] = reader ? reader.check(i, files[i]) : libzipError(openCode);
            if (!problems[i].empty()) return;
        }
    };
    {
        std::vector<std::jthread> readers;
        for (std::size_t t = 1; t < n; ++t) readers.emplace_back(check, t);
        check(0);
    }
    for (const std::string& problem : problems)
        if (!problem.empty()) return problem;
    return {};
}

}  // namespace tarvex::exec::pack
