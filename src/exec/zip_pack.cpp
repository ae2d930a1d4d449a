#include "exec/zip_pack.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "exec/zip_aes.h"
#include "platform/files.h"
#include "platform/files_seams.h"

// Raw deflate data goes into libzip unchanged through a source that reports
// its method, and a source found to be better stored switches its entry to
// stored from inside its first stat; an entry marked AES without a password, from
// a source that reports it encrypted, is copied as it comes. None is a documented promise: all
// were read from libzip 1.7's zip_close, so another version must be checked
// (the ZIP tests cover these paths) before it is built against.
static_assert(LIBZIP_VERSION_MAJOR == 1 && LIBZIP_VERSION_MINOR == 7, "check zip_pack.cpp against this libzip");

namespace tarvex::exec::pack {

namespace {

constexpr int kLevel = 6;
constexpr std::size_t kWindow = 32768;   // deflate's reach back, the dictionary of a piece
// A file this big is first tried on a sample: a fast pass over four slices
// spread through it. When they do not shrink at all (compressed media, random
// data) the file is stored without deflating it whole, which was a third of
// the work on a typical folder.
constexpr std::size_t kProbeFrom = 65536;
constexpr std::size_t kProbeSlice = 4096, kProbeSlices = 4;

int seekTo(std::FILE* f, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(offset), SEEK_SET);
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
#endif
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr std::size_t kProbeBytes = kProbeSlice * kProbeSlices;

std::uint64_t sliceAt(std::uint64_t length, std::size_t i) { return i * ((length - kProbeSlice) / (kProbeSlices - 1)); }

bool sampleShrinks(libdeflate_compressor* probe, const unsigned char* sample) {
    unsigned char out[kProbeBytes];
    const std::size_t n = libdeflate_deflate_compress(probe, sample, kProbeBytes, out, sizeof out);
    return n != 0 && n < kProbeBytes;
}

bool looksIncompressible(libdeflate_compressor* probe, const unsigned char* data, std::size_t length) {
    if (length < kProbeFrom) return false;
    unsigned char sample[kProbeBytes];
    for (std::size_t i = 0; i < kProbeSlices; ++i)
        std::memcpy(sample + i * kProbeSlice, data + sliceAt(length, i), kProbeSlice);
    return !sampleShrinks(probe, sample);
}

// The same test on a file too big to read whole, which is then stored piece by
// piece (an old archive or a video in the folder). Any doubt says "compress".
bool fileLooksIncompressible(libdeflate_compressor* probe, const Entry& entry) {
    const std::string name = platform::fromFsPath(entry.file);
    std::unique_ptr<std::FILE, FileCloser> f(
        probe && platform::detail::openAllowed(name) ? platform::detail::openPath(entry.file, "rb") : nullptr);
    if (!f) return false;
    unsigned char sample[kProbeBytes];
    for (std::size_t i = 0; i < kProbeSlices; ++i)
        if (seekTo(f.get(), sliceAt(entry.size, i)) != 0 ||
            std::fread(sample + i * kProbeSlice, 1, kProbeSlice, f.get()) != kProbeSlice)
            return false;
    return !sampleShrinks(probe, sample);
}

}  // namespace

// One per worker, made on its stack: a thread_local one is freed twice by
// mingw's thread-exit handling.
struct Packer::Compressor {
    libdeflate_compressor* c = libdeflate_alloc_compressor(kLevel);
    libdeflate_compressor* probe = libdeflate_alloc_compressor(1);
    ~Compressor() {
        libdeflate_free_compressor(c);
        libdeflate_free_compressor(probe);
    }
    Compressor() = default;
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

struct Packer::Result {
    std::string error;
    std::vector<unsigned char> data;   // what goes into the archive
    std::uint32_t crc = 0;             // of the piece's plain bytes
    std::size_t length = 0;            // plain bytes
    bool stored = false;
    std::unique_ptr<EntryCipher> cipher;   // a big encrypted entry's, with its first piece
};

std::string libzipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

int defaultThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(n, 1u, 8u));
}

Packer::Packer(const std::vector<Entry>& entries, int threads, std::size_t chunk, Progress progress)
    : entries_(entries), chunk_(chunk ? chunk : kDefaultChunk), progress_(std::move(progress)),
      threads_(threads > 0 ? std::min(threads, 64) : defaultThreads()) {
    libdeflate_compressor* probe = nullptr;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        firstJob_.push_back(jobs_.size());
        const std::uint64_t size = entries_[i].size;
        if (size <= chunk_) {
            jobs_.push_back({i, 0, static_cast<std::size_t>(size), true, true, false});
            continue;
        }
        if (!probe) probe = libdeflate_alloc_compressor(1);
        const bool stored = fileLooksIncompressible(probe, entries_[i]);
        for (std::uint64_t at = 0; at < size; at += chunk_)
            jobs_.push_back({i, at, static_cast<std::size_t>(std::min<std::uint64_t>(chunk_, size - at)), false,
                             at + chunk_ >= size, stored});
    }
    libdeflate_free_compressor(probe);
    results_.resize(jobs_.size());
    ahead_.reserve(jobs_.size() + 1);
    ahead_.push_back(0);
    for (const Job& job : jobs_) ahead_.push_back(ahead_.back() + job.length);
    // Memory stays within a few pieces per worker, whatever the files; counted
    // in bytes, so that one slow file does not stall the workers behind it.
    window_ = static_cast<std::uint64_t>(threads_) * 4 * chunk_;
}

Packer::~Packer() {
    {
        std::lock_guard lock(m_);
        cancelled_ = true;
    }
    workCv_.notify_all();
    readyCv_.notify_all();
    for (auto& t : workers_) t.join();
}

std::string Packer::failure() const {
    std::lock_guard lock(m_);
    return failure_;
}

void Packer::fail(const std::string& why) {
    std::lock_guard lock(m_);
    if (failure_.empty()) failure_ = why;
}

void Packer::work() {
    Compressor compressor;
    for (;;) {
        std::unique_lock lock(m_);
        workCv_.wait(lock, [&] {
            return cancelled_ || next_ >= jobs_.size() || next_ == consumed_ ||
                   ahead_[next_ + 1] - ahead_[consumed_] <= window_;
        });
        if (cancelled_ || next_ >= jobs_.size()) return;
        const std::size_t j = next_++;
        lock.unlock();
        auto result = std::make_unique<Result>();
        try {
            if (!compressor.c || !compressor.probe) throw std::bad_alloc();
            compress(jobs_[j], compressor, *result);
        } catch (const std::exception& e) {
            result->error = e.what();
        }
        lock.lock();
        results_[j] = std::move(result);
        // Only the piece the closing thread waits for wakes it, and with the lock
        // already free: under Wine each wake-up is a round trip through its server.
        const bool awaited = j == awaited_;
        lock.unlock();
        if (awaited) readyCv_.notify_one();
    }
}

void Packer::compress(const Job& job, const Compressor& compressor, Result& out) const {
    const Entry& entry = entries_[job.entry];
    const std::string name = platform::fromFsPath(entry.file);
    auto failWith = [&](const std::string& why) { out.error = name + ": " + why; };

    std::unique_ptr<std::FILE, FileCloser> f(
        platform::detail::openAllowed(name) ? platform::detail::openPath(entry.file, "rb") : nullptr);
    if (!f) return failWith(std::strerror(errno ? errno : EACCES));
    // A piece after the first takes the bytes before it as its dictionary.
    const std::size_t dict =
        job.whole || job.stored ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(job.offset, kWindow));
    std::vector<unsigned char> plain(dict + job.length);
    if (seekTo(f.get(), job.offset - dict) != 0) return failWith(std::strerror(errno));
    const std::size_t got = std::fread(plain.data(), 1, plain.size(), f.get());
    if (std::ferror(f.get())) return failWith(std::strerror(errno ? errno : EIO));
    // Reading one byte past the end tells a file that changed since the tree was read.
    const bool grew = got == plain.size() && job.last && std::fgetc(f.get()) != EOF;
    if (got != plain.size() || grew || std::ferror(f.get()))
        return failWith(std::ferror(f.get()) ? std::strerror(errno ? errno : EIO) : "o arquivo mudou durante a compactação");
    f.reset();

    // A big entry's pieces are encrypted in order on the closing thread; its keys
    // are derived here, with the first piece, rather than there.
    if (password_ && !job.whole && job.offset == 0) {
        try {
            out.cipher = std::make_unique<EntryCipher>(*password_);
        } catch (const std::exception& e) {
            return failWith(e.what());
        }
    }
    const unsigned char* piece = plain.data() + dict;
    out.length = job.length;
    out.crc = static_cast<std::uint32_t>(libdeflate_crc32(0, piece, job.length));

    if (job.stored) {   // a piece of a big file found incompressible
        out.stored = true;
        out.data = std::move(plain);
        seal(out, job);
        return;
    }
    if (job.whole) {
        std::size_t n = 0;
        if (!looksIncompressible(compressor.probe, piece, job.length)) {
            out.data.resize(libdeflate_deflate_compress_bound(compressor.c, job.length));
            n = libdeflate_deflate_compress(compressor.c, piece, job.length, out.data.data(), out.data.size());
        }
        if (n == 0 || n >= job.length) {
            out.stored = true;
            plain.erase(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(dict));
            out.data = std::move(plain);
        } else {
            out.data.resize(n);
        }
        seal(out, job);
        return;
    }

    // Pieces of one entry join into one deflate stream: each ends on a byte
    // boundary with a non-final empty block, the last one finishes the stream.
    z_stream zs{};
    if (deflateInit2(&zs, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
    if (dict) deflateSetDictionary(&zs, plain.data(), static_cast<uInt>(dict));
    out.data.resize(deflateBound(&zs, static_cast<uLong>(job.length)) + 64);
    zs.next_in = const_cast<unsigned char*>(piece);
    zs.avail_in = static_cast<uInt>(job.length);
    std::size_t produced = 0;
    int rc;
    do {
        if (produced == out.data.size()) out.data.resize(out.data.size() * 2);
        zs.next_out = out.data.data() + produced;
        zs.avail_out = static_cast<uInt>(out.data.size() - produced);
        rc = deflate(&zs, job.last ? Z_FINISH : Z_SYNC_FLUSH);
        produced = out.data.size() - zs.avail_out;
    } while (job.last ? rc == Z_OK : (zs.avail_in > 0 || zs.avail_out == 0));
    deflateEnd(&zs);
    if (job.last && rc != Z_STREAM_END) throw std::runtime_error("deflate falhou");
    out.data.resize(produced);
}

// An encrypted entry's data is always deflate data (stored bytes in stored
// blocks); a whole entry is encrypted here, a big one's pieces as they are read.
void Packer::seal(Result& out, const Job& job) const {
    if (!password_) return;
    if (out.stored) {
        std::vector<unsigned char> framed;
        framed.reserve(out.data.size() + (out.data.size() / 65535 + 1) * 5 + kAesOverhead);
        appendStoredBlocks(framed, out.data.data(), out.data.size(), job.last);
        out.data = std::move(framed);
    }
    if (!job.whole) return;
    EntryCipher cipher(*password_);
    const auto head = cipher.head();
    cipher.encrypt(out.data.data(), out.data.size());
    const auto mac = cipher.finish();
    out.data.insert(out.data.begin(), head.begin(), head.end());
    out.data.insert(out.data.end(), mac.begin(), mac.end());
}

Packer::Result* Packer::await(std::size_t j) {
    std::unique_lock lock(m_);
    awaited_ = j;
    readyCv_.wait(lock, [&] { return cancelled_ || results_[j]; });
    awaited_ = kNone;
    return cancelled_ ? nullptr : results_[j].get();
}

void Packer::consumed(std::size_t j) {
    std::unique_ptr<Result> done;   // freed once the lock is let go
    {
        std::lock_guard lock(m_);
        done = std::move(results_[j]);
        consumed_ = j + 1;
    }
    workCv_.notify_all();
}

// One entry as libzip reads it: the workers' pieces in order.
class Packer::Source {
public:
    Source(Packer& p, zip_t* za, std::size_t index) : p_(p), za_(za), index_(index) { zip_error_init(&error_); }
    ~Source() { zip_error_fini(&error_); }

    static zip_int64_t call(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
        auto* self = static_cast<Source*>(state);
        switch (cmd) {
        case ZIP_SOURCE_OPEN: return self->open();
        case ZIP_SOURCE_READ: return self->read(static_cast<unsigned char*>(data), len);
        case ZIP_SOURCE_CLOSE: return 0;
        case ZIP_SOURCE_STAT: return self->stat(static_cast<zip_stat_t*>(data));
        case ZIP_SOURCE_ERROR: return zip_error_to_data(&self->error_, data, len);
        case ZIP_SOURCE_FREE: delete self; return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&self->error_, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

private:
    const Entry& entry() const { return p_.entries_[index_]; }
    std::size_t firstJob() const { return p_.firstJob_[index_]; }
    std::size_t endJob() const { return index_ + 1 < p_.firstJob_.size() ? p_.firstJob_[index_ + 1] : p_.jobs_.size(); }

    // The piece `j` once a worker has it; null (error set) on a failure.
    Result* piece(std::size_t j) {
        Result* r = p_.await(j);
        if (!r) {
            zip_error_set(&error_, ZIP_ER_CANCELLED, 0);
            return nullptr;
        }
        if (!r->error.empty()) {
            p_.fail(r->error);
            zip_error_set(&error_, ZIP_ER_READ, EIO);
            return nullptr;
        }
        return r;
    }

    zip_int64_t stat(zip_stat_t* st) {
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
        st->size = entry().size;
        st->mtime = entry().mtime;
        st->encryption_method = !p_.password_ ? ZIP_EM_NONE : ZIP_EM_AES_256;
        if (p_.password_) decided_ = true;   // always deflate data, see seal()
        if (!decided_) {
            const Job& first = p_.jobs_[firstJob()];
            stored_ = first.stored;
            if (first.whole) {
                Result* r = piece(firstJob());
                if (!r) return -1;
                stored_ = r->stored;
            }
            // libzip would deflate a stored source of a default-method entry itself.
            if (stored_ && zip_set_file_compression(za_, index_, ZIP_CM_STORE, 0) != 0) {
                zip_error_set(&error_, ZIP_ER_INTERNAL, 0);
                return -1;
            }
            decided_ = true;
        }
        st->comp_method = stored_ ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
        if (finished_) {
            st->valid |= ZIP_STAT_CRC;
            st->crc = crc_;
        }
        return sizeof(*st);
    }

    zip_int64_t open() {
        if (opened_) {   // the pieces are gone once read
            zip_error_set(&error_, ZIP_ER_INTERNAL, 0);
            return -1;
        }
        opened_ = true;
        job_ = firstJob();
        at_ = 0;
        crc_ = 0;
        return 0;
    }

    zip_int64_t read(unsigned char* out, zip_uint64_t len) {
        zip_uint64_t done = 0;
        while (done < len && job_ < endJob()) {
            Result* r = piece(job_);
            if (!r || !sealPiece(*r)) return -1;
            const std::size_t n = static_cast<std::size_t>(std::min<zip_uint64_t>(len - done, r->data.size() - at_));
            if (n) std::memcpy(out + done, r->data.data() + at_, n);
            done += n;
            at_ += n;
            if (at_ < r->data.size()) break;
            crc_ = job_ == firstJob() ? r->crc
                                      : static_cast<std::uint32_t>(crc32_combine(crc_, r->crc, static_cast<z_off_t>(r->length)));
            p_.consumed(job_++);
            at_ = 0;
        }
        if (job_ == endJob() && !finished_) {
            finished_ = true;
            p_.bytesDone_ += entry().size;
            if (p_.progress_) p_.progress_(++p_.entriesDone_, p_.bytesDone_);
        }
        return static_cast<zip_int64_t>(done);
    }

    // A big entry's pieces are encrypted in their order, each once, when first read.
    bool sealPiece(Result& r) {
        const Job& job = p_.jobs_[job_];
        if (!p_.password_ || job.whole || sealed_ == job_ + 1) return true;
        try {
            if (job_ == firstJob()) cipher_ = r.cipher ? std::move(r.cipher) : std::make_unique<EntryCipher>(*p_.password_);
            cipher_->encrypt(r.data.data(), r.data.size());
            if (job_ == firstJob()) {
                const auto head = cipher_->head();
                r.data.insert(r.data.begin(), head.begin(), head.end());
            }
            if (job.last) {
                const auto mac = cipher_->finish();
                r.data.insert(r.data.end(), mac.begin(), mac.end());
            }
        } catch (const std::exception& e) {
            p_.fail(entry().name + ": " + e.what());
            zip_error_set(&error_, ZIP_ER_INTERNAL, 0);
            return false;
        }
        sealed_ = job_ + 1;
        return true;
    }

    Packer& p_;
    zip_t* za_;
    std::size_t index_;
    std::unique_ptr<EntryCipher> cipher_;
    std::size_t sealed_ = 0;   // one past the last piece encrypted
    zip_error_t error_;
    bool decided_ = false, stored_ = false, opened_ = false, finished_ = false;
    std::size_t job_ = 0, at_ = 0;
    std::uint32_t crc_ = 0;
};

void Packer::addAll(zip_t* za) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        auto* state = new Source(*this, za, i);
        zip_source_t* src = zip_source_function(za, &Source::call, state);
        if (!src) {
            delete state;
            throw std::runtime_error(zip_strerror(za));
        }
        const zip_int64_t index = zip_file_add(za, entries_[i].name.c_str(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            throw std::runtime_error(zip_strerror(za));
        }
        // No password given to libzip: the data comes encrypted, libzip writes the headers.
        if (password_ && zip_file_set_encryption(za, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, nullptr) != 0)
            throw std::runtime_error(zip_strerror(za));
    }
    for (int t = 0; t < threads_; ++t) workers_.emplace_back([this] { work(); });
}

}  // namespace tarvex::exec::pack
