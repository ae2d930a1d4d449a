// The ZIP writer's floor: the plainest way to do its work on the same cores.
// Every file of SOURCE read whole, its CRC taken and deflated by libdeflate at
// level 6, kept stored when that does not shrink it (a file of 64 KiB or more
// first tried on four 4 KiB slices at level 1, as the writer does), and the
// bytes appended to OUTPUT; no archive structure, no encryption, no read-back.
// Usage: SOURCE OUTPUT [THREADS]   (the machine's cores by default)
#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kProbeFrom = 65536, kSlice = 4096, kSlices = 4;

bool readWhole(const fs::path& path, std::vector<unsigned char>& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::error_code ec;
    out.resize(static_cast<std::size_t>(fs::file_size(path, ec)));
    const bool ok = !ec && std::fread(out.data(), 1, out.size(), f) == out.size();
    std::fclose(f);
    return ok;
}

bool sampleShrinks(libdeflate_compressor* probe, const std::vector<unsigned char>& data) {
    unsigned char sample[kSlice * kSlices], out[kSlice * kSlices];
    for (std::size_t i = 0; i < kSlices; ++i)
        std::memcpy(sample + i * kSlice, data.data() + i * ((data.size() - kSlice) / (kSlices - 1)), kSlice);
    const std::size_t n = libdeflate_deflate_compress(probe, sample, sizeof sample, out, sizeof out);
    return n != 0 && n < sizeof sample;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUTPUT [THREADS]\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(argv[1]))
        if (e.is_regular_file()) files.push_back(e.path());
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) return 1;
    const int threads = argc > 3 ? std::atoi(argv[3]) : static_cast<int>(std::thread::hardware_concurrency());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex writing;
    auto work = [&] {
        libdeflate_compressor* c = libdeflate_alloc_compressor(6);
        libdeflate_compressor* probe = libdeflate_alloc_compressor(1);
        std::vector<unsigned char> plain, packed;
        for (std::size_t i; (i = next++) < files.size();) {
            if (!readWhole(files[i], plain)) {
                failed = true;
                break;
            }
            const std::uint32_t crc = libdeflate_crc32(0, plain.data(), plain.size());
            std::size_t n = 0;
            if (plain.size() < kProbeFrom || sampleShrinks(probe, plain)) {
                packed.resize(libdeflate_deflate_compress_bound(c, plain.size()));
                n = libdeflate_deflate_compress(c, plain.data(), plain.size(), packed.data(), packed.size());
            }
            const std::vector<unsigned char>& kept = n == 0 || n >= plain.size() ? plain : packed;
            const std::size_t size = &kept == &plain ? plain.size() : n;
            std::lock_guard lock(writing);
            if (std::fwrite(&crc, sizeof crc, 1, out) != 1 || std::fwrite(kept.data(), 1, size, out) != size)
                failed = true;
        }
        libdeflate_free_compressor(probe);
        libdeflate_free_compressor(c);
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < std::max(1, threads); ++t) workers.emplace_back(work);
    work();
    for (auto& t : workers) t.join();
    if (std::fclose(out) != 0) failed = true;
    return failed ? 1 : 0;
}
