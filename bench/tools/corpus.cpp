// The benchmarks' reference folder: about 200 MB in about 2,000 files in nested
// folders, a third text-like (log and CSV lines), a third structured binary
// (records with repeated fields), a third random. The same bytes on every
// machine: one fixed seed and our own generator, not the library's distributions.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Rng {   // splitmix64
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }
};

const char* const kWords[] = {"EXE", "ERR", "backup", "cliente", "pedido", "estoque", "nota", "fiscal",
                              "SP", "RJ", "MG", "PR", "OK", "pendente", "pago", "cancelado"};

std::string text(Rng& r, size_t size) {
    std::string s;
    const bool csv = r.below(2);
    while (s.size() < size) {
        if (csv) {
            s += std::to_string(r.below(1000000)) + ";" + kWords[r.below(16)] + ";" + kWords[r.below(16)] + ";" +
                 std::to_string(r.below(100000)) + "," + std::to_string(r.below(100)) + ";2026-" +
                 std::to_string(1 + r.below(12)) + "-" + std::to_string(1 + r.below(28)) + "\r\n";
        } else {
            s += std::to_string(1 + r.below(28)) + "/11/26 " + std::to_string(r.below(24)) + ":" +
                 std::to_string(r.below(60)) + " [" + kWords[r.below(16)] + "] tarefa " +
                 std::to_string(r.below(300)) + " " + kWords[r.below(16)] + " " + kWords[r.below(16)] + "\r\n";
        }
    }
    s.resize(size);
    return s;
}

std::string records(Rng& r, size_t size) {
    std::string s;
    std::string name(24, ' ');
    while (s.size() < size) {
        const std::uint32_t id = static_cast<std::uint32_t>(s.size() / 64);
        s.append(reinterpret_cast<const char*>(&id), 4);
        const char* w = kWords[r.below(16)];
        name.replace(0, name.size(), name.size(), ' ');
        name.replace(0, std::char_traits<char>::length(w), w);
        s += name;
        const std::uint64_t price = r.below(100000), flags = r.below(4);
        s.append(reinterpret_cast<const char*>(&price), 8);
        s.append(reinterpret_cast<const char*>(&flags), 8);
        s.append(20, '\0');
    }
    s.resize(size);
    return s;
}

std::string noise(Rng& r, size_t size) {
    std::string s(size + 8, '\0');
    for (size_t i = 0; i < size; i += 8) {
        const std::uint64_t v = r.next();
        for (int b = 0; b < 8; ++b) s[i + b] = static_cast<char>(v >> (8 * b));
    }
    s.resize(size);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    Rng r{20261207};
    std::uint64_t total = 0;
    for (int i = 0; i < 2000; ++i) {
        // Mostly tens of KB, a few of several MB: about 100 KB on average.
        const size_t size = r.below(20) == 0 ? 200000 + r.below(1000000) : 1000 + r.below(130000);
        fs::path dir = root / ("pasta" + std::to_string(i % 7)) / ("sub" + std::to_string(i % 13));
        if (i % 5 == 0) dir /= "fundo" + std::to_string(i % 3);
        fs::create_directories(dir);
        std::string data;
        const char* ext;
        switch (i % 3) {
        case 0: data = text(r, size); ext = ".txt"; break;
        case 1: data = records(r, size); ext = ".dat"; break;
        default: data = noise(r, size); ext = ".bin"; break;
        }
        std::ofstream(dir / ("arquivo" + std::to_string(i) + ext), std::ios::binary) << data;
        total += size;
    }
    std::printf("%llu bytes in 2000 files\n", static_cast<unsigned long long>(total));
    return 0;
}
