#include "exec/pbkdf2_wide.h"

#include <cstdint>
#include <stdexcept>

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define TARVEX_WIDE_KEYS 1
#endif

namespace tarvex::exec::pack {

#ifdef TARVEX_WIDE_KEYS
namespace {

// The processor has the instructions and the system saves their registers.
bool hasWideRegisters() {
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE)) return false;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & bit_AVX512F)) return false;
    unsigned lo, hi;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (lo & 0xE6) == 0xE6;   // SSE, AVX and the three AVX-512 states
}

using Lanes = __m512i;

// GCC 12 takes the undefined source of its rotate intrinsic for an uninitialized value.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"

// One SHA-1 block per lane from the same starting state, whose message is a
// 20-byte value (five words) padded as the last block of 84 bytes.
__attribute__((target("avx512f"))) void compress(const Lanes (&start)[5], const Lanes (&message)[5], Lanes (&out)[5]) {
    Lanes w[16];
    for (int i = 0; i < 5; ++i) w[i] = message[i];
    w[5] = _mm512_set1_epi32(static_cast<int>(0x80000000u));
    for (int i = 6; i < 15; ++i) w[i] = _mm512_set1_epi32(0);
    w[15] = _mm512_set1_epi32((64 + 20) * 8);
    Lanes a = start[0], b = start[1], c = start[2], d = start[3], e = start[4];
#pragma GCC unroll 80
    for (int t = 0; t < 80; ++t) {
        if (t >= 16) {
            const Lanes x = _mm512_ternarylogic_epi32(w[(t - 3) & 15], w[(t - 8) & 15], w[(t - 14) & 15], 0x96);
            w[t & 15] = _mm512_rol_epi32(_mm512_xor_si512(x, w[t & 15]), 1);
        }
        // 0xCA: choose, 0x96: parity, 0xE8: majority.
        Lanes f;
        std::uint32_t k;
        if (t < 20) f = _mm512_ternarylogic_epi32(b, c, d, 0xCA), k = 0x5A827999u;
        else if (t < 40) f = _mm512_ternarylogic_epi32(b, c, d, 0x96), k = 0x6ED9EBA1u;
        else if (t < 60) f = _mm512_ternarylogic_epi32(b, c, d, 0xE8), k = 0x8F1BBCDCu;
        else f = _mm512_ternarylogic_epi32(b, c, d, 0x96), k = 0xCA62C1D6u;
        const Lanes sum = _mm512_add_epi32(_mm512_add_epi32(_mm512_rol_epi32(a, 5), f),
                                           _mm512_add_epi32(_mm512_add_epi32(e, _mm512_set1_epi32(static_cast<int>(k))),
                                                            w[t & 15]));
        e = d;
        d = c;
        c = _mm512_rol_epi32(b, 30);
        b = a;
        a = sum;
    }
    out[0] = _mm512_add_epi32(start[0], a);
    out[1] = _mm512_add_epi32(start[1], b);
    out[2] = _mm512_add_epi32(start[2], c);
    out[3] = _mm512_add_epi32(start[3], d);
    out[4] = _mm512_add_epi32(start[4], e);
}

__attribute__((target("avx512f"))) void deriveLanes(const Sha1State& inner, const Sha1State& outer,
                                                     const unsigned char (*salts)[16], int rounds,
                                                     unsigned char (*out)[80]) {
    // Lane 4 * s + i: salt s, block i + 1 of its keys.
    alignas(64) std::uint32_t words[5][16];
    for (int lane = 0; lane < 16; ++lane) {
        const unsigned char* salt = salts[lane / 4];
        for (int i = 0; i < 4; ++i)
            words[i][lane] = std::uint32_t{salt[4 * i]} << 24 | std::uint32_t{salt[4 * i + 1]} << 16 |
                             std::uint32_t{salt[4 * i + 2]} << 8 | salt[4 * i + 3];
        words[4][lane] = static_cast<std::uint32_t>(lane % 4 + 1);
    }
    Lanes innerStart[5], outerStart[5], u[5], sum[5], mid[5];
    for (int i = 0; i < 5; ++i) {
        innerStart[i] = _mm512_set1_epi32(static_cast<int>(inner.h[i]));
        outerStart[i] = _mm512_set1_epi32(static_cast<int>(outer.h[i]));
        u[i] = _mm512_load_si512(words[i]);
        sum[i] = _mm512_set1_epi32(0);
    }
    for (int r = 0; r < rounds; ++r) {
        compress(innerStart, u, mid);
        compress(outerStart, mid, u);
        for (int i = 0; i < 5; ++i) sum[i] = _mm512_xor_si512(sum[i], u[i]);
    }
    for (int i = 0; i < 5; ++i) _mm512_store_si512(words[i], sum[i]);
    for (int lane = 0; lane < 16; ++lane)
        for (int i = 0; i < 5; ++i)
            for (int b = 0; b < 4; ++b)
                out[lane / 4][(lane % 4) * 20 + 4 * i + b] = static_cast<unsigned char>(words[i][lane] >> (24 - 8 * b));
}

#pragma GCC diagnostic pop

const bool kWide = hasWideRegisters();

}  // namespace

bool wideKeysAvailable() { return kWide; }

void deriveWide(const Sha1State& inner, const Sha1State& outer, const unsigned char (*salts)[16], int rounds,
                unsigned char (*out)[80]) {
    if (!kWide) throw std::logic_error("wide key derivation missing");
    deriveLanes(inner, outer, salts, rounds, out);
}

#else

bool wideKeysAvailable() { return false; }
void deriveWide(const Sha1State&, const Sha1State&, const unsigned char (*)[16], int, unsigned char (*)[80]) {
    throw std::logic_error("wide key derivation missing");
}

#endif

}  // namespace tarvex::exec::pack
