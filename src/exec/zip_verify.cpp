#include "exec/zip_verify.h"

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

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
    Reader(const std::string& path, int* code) : za_(zip_open(path.c_str(), ZIP_RDONLY, code)) {}
    explicit operator bool() const { return za_ && inflater_; }

    // Empty when the entry reads back as the file it came from.
    std::string check(zip_uint64_t index, const Entry& file) {
        zip_stat_t st;
        std::error_code ec;
        const auto size = std::filesystem::file_size(file.file, ec);
        if (zip_stat_index(za_.get(), index, 0, &st) != 0 || file.name != st.name || ec || st.size != size)
            return file.name + ": nome ou tamanho";
        const bool whole = st.size <= kWholeUpTo && (st.comp_method == ZIP_CM_DEFLATE || st.comp_method == ZIP_CM_STORE);
        const std::string why = whole ? checkWhole(index, st) : checkStreamed(index, st.size);
        return why.empty() ? why : file.name + ": " + why;
    }

private:
    std::string checkWhole(zip_uint64_t index, const zip_stat_t& st) {
        ZipFile f(zip_fopen_index(za_.get(), index, ZIP_FL_COMPRESSED));
        if (!f) return zip_strerror(za_.get());
        raw_.resize(st.comp_size);
        if (zip_fread(f.get(), raw_.data(), raw_.size()) != static_cast<zip_int64_t>(raw_.size()))
            return zip_file_strerror(f.get());
        const unsigned char* plain = raw_.data();
        if (st.comp_method == ZIP_CM_DEFLATE) {
            plain_.resize(st.size);
            std::size_t got = 0;
            if (libdeflate_deflate_decompress(inflater_.get(), raw_.data(), raw_.size(), plain_.data(), plain_.size(),
                                              &got) != LIBDEFLATE_SUCCESS || got != st.size)
                return "dados compactados inválidos";
            plain = plain_.data();
        } else if (st.comp_size != st.size) {
            return "tamanho";
        }
        if (libdeflate_crc32(0, plain, st.size) != st.crc) return "CRC";
        return {};
    }

    std::string checkStreamed(zip_uint64_t index, zip_uint64_t size) {
        ZipFile f(zip_fopen_index(za_.get(), index, 0));
        if (!f) return zip_strerror(za_.get());
        raw_.resize(1 << 16);
        zip_uint64_t total = 0;
        zip_int64_t got = 0;
        while ((got = zip_fread(f.get(), raw_.data(), raw_.size())) > 0) total += static_cast<zip_uint64_t>(got);
        if (got < 0) return zip_file_strerror(f.get());
        return total == size ? std::string() : "tamanho";
    }

    ZipReader za_;
    std::unique_ptr<libdeflate_decompressor, Decompressor> inflater_{libdeflate_alloc_decompressor()};
    std::vector<unsigned char> raw_, plain_;
};

}  // namespace

// Each thread reads every n-th entry through an archive handle of its own.
std::string verifyArchive(const std::string& path, const std::vector<Entry>& files, int threads) {
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
        Reader reader(path, &openCode);
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
