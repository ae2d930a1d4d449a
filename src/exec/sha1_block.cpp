#include "exec/sha1_block.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define TARVEX_SHA_NI 1
#endif

namespace tarvex::exec::pack {

namespace {

std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::uint32_t bigEndian(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void portableBlock(Sha1State& s, const unsigned char* block) {
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t) w[t] = bigEndian(block + 4 * t);
    for (int t = 16; t < 80; ++t) w[t] = rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    std::uint32_t a = s.h[0], b = s.h[1], c = s.h[2], d = s.h[3], e = s.h[4];
    for (int t = 0; t < 80; ++t) {
        std::uint32_t f, k;
        if (t < 20) f = (b & c) | (~b & d), k = 0x5A827999u;
        else if (t < 40) f = b ^ c ^ d, k = 0x6ED9EBA1u;
        else if (t < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDCu;
        else f = b ^ c ^ d, k = 0xCA62C1D6u;
        const std::uint32_t next = rotl(a, 5) + f + e + k + w[t];
        e = d;
        d = c;
        c = rotl(b, 30);
        b = a;
        a = next;
    }
    s.h[0] += a, s.h[1] += b, s.h[2] += c, s.h[3] += d, s.h[4] += e;
}

#ifdef TARVEX_SHA_NI
bool hasShaInstructions() {
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3) || !(c & bit_SSE4_1)) return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_SHA);
}

// Four rounds at a time, for `N` independent blocks in step: one block's rounds
// wait on each other, so several in flight keep the instructions busy. The
// message words of each four rounds are made from the four before them.
template <int N>
__attribute__((target("sha,ssse3,sse4.1"))) void shaNiBlocks(Sha1State* const* s, const unsigned char* const* block) {
    const __m128i order = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd[N], abcdStart[N], eStart[N], e[N], before[N], w[N][4];
    for (int l = 0; l < N; ++l) {
        abcd[l] = abcdStart[l] = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s[l]->h)), 0x1B);
        eStart[l] = _mm_set_epi32(static_cast<int>(s[l]->h[4]), 0, 0, 0);
        for (int g = 0; g < 4; ++g)
            w[l][g] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block[l] + 16 * g)), order);
        e[l] = _mm_add_epi32(eStart[l], w[l][0]);
    }
#pragma GCC unroll 20
    for (int g = 0; g < 20; ++g)
#pragma GCC unroll 4
        for (int l = 0; l < N; ++l) {
            before[l] = abcd[l];
            if (g < 5) abcd[l] = _mm_sha1rnds4_epu32(abcd[l], e[l], 0);
            else if (g < 10) abcd[l] = _mm_sha1rnds4_epu32(abcd[l], e[l], 1);
            else if (g < 15) abcd[l] = _mm_sha1rnds4_epu32(abcd[l], e[l], 2);
            else abcd[l] = _mm_sha1rnds4_epu32(abcd[l], e[l], 3);
            if (g == 19) continue;
            // The words of the next four rounds; from the fifth on, made of the four before.
            __m128i& next = w[l][(g + 1) % 4];
            if (g >= 3)
                next = _mm_sha1msg2_epu32(
                    _mm_xor_si128(_mm_sha1msg1_epu32(next, w[l][(g + 2) % 4]), w[l][(g + 3) % 4]), w[l][g % 4]);
            e[l] = _mm_sha1nexte_epu32(before[l], next);
        }
    for (int l = 0; l < N; ++l) {
        e[l] = _mm_sha1nexte_epu32(before[l], eStart[l]);
        abcd[l] = _mm_add_epi32(abcd[l], abcdStart[l]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s[l]->h), _mm_shuffle_epi32(abcd[l], 0x1B));
        s[l]->h[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e[l], 3));
    }
}

const bool kShaNi = hasShaInstructions();
#endif

}  // namespace

void sha1Block(Sha1State& state, const unsigned char* block) {
#ifdef TARVEX_SHA_NI
    Sha1State* const states[1] = {&state};
    if (kShaNi) return shaNiBlocks<1>(states, &block);
#endif
    portableBlock(state, block);
}

void sha1Blocks4(Sha1State* const* states, const unsigned char* const* blocks) {
#ifdef TARVEX_SHA_NI
    if (kShaNi) return shaNiBlocks<4>(states, blocks);
#endif
    for (int l = 0; l < 4; ++l) portableBlock(*states[l], blocks[l]);
}

// Written a word at a time, which the compiler makes one byte-swapped store:
// the key derivation calls this eight thousand times an entry.
void sha1Bytes(const Sha1State& state, unsigned char* out) {
    for (int i = 0; i < 5; ++i, out += 4) {
        const std::uint32_t h = state.h[i];
        out[0] = static_cast<unsigned char>(h >> 24);
        out[1] = static_cast<unsigned char>(h >> 16);
        out[2] = static_cast<unsigned char>(h >> 8);
        out[3] = static_cast<unsigned char>(h);
    }
}

void sha1(const unsigned char* data, std::size_t length, unsigned char* digest) {
    Sha1State s;
    std::size_t at = 0;
    for (; at + 64 <= length; at += 64) sha1Block(s, data + at);
    unsigned char tail[128] = {};
    const std::size_t rest = length - at;
    std::memcpy(tail, data + at, rest);
    tail[rest] = 0x80;
    const std::size_t blocks = rest + 9 > 64 ? 2 : 1;
    const std::uint64_t bits = static_cast<std::uint64_t>(length) * 8;
    for (int b = 0; b < 8; ++b) tail[blocks * 64 - 1 - b] = static_cast<unsigned char>(bits >> (8 * b));
    for (std::size_t b = 0; b < blocks; ++b) sha1Block(s, tail + 64 * b);
    sha1Bytes(s, digest);
}

}  // namespace tarvex::exec::pack
