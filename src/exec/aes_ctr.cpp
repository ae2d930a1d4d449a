#include "exec/aes_ctr.h"

#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define TARVEX_AES_NI 1
#endif

namespace tarvex::exec::pack {

#ifdef TARVEX_AES_NI
namespace {

#define TARVEX_AES __attribute__((target("aes,sse4.1")))

TARVEX_AES __m128i spread(__m128i key) {
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    return _mm_xor_si128(key, _mm_slli_si128(key, 4));
}
// The even round keys take the rotated, substituted last word of the one
// before; the odd ones its substituted word alone.
TARVEX_AES __m128i even(__m128i key, __m128i assist) { return _mm_xor_si128(spread(key), _mm_shuffle_epi32(assist, 0xFF)); }
TARVEX_AES __m128i odd(__m128i key, __m128i assist) { return _mm_xor_si128(spread(key), _mm_shuffle_epi32(assist, 0xAA)); }

TARVEX_AES void expand(const unsigned char* key, __m128i* rk) {
    rk[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key));
    rk[1] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key + 16));
    rk[2] = even(rk[0], _mm_aeskeygenassist_si128(rk[1], 0x01));
    rk[3] = odd(rk[1], _mm_aeskeygenassist_si128(rk[2], 0x00));
    rk[4] = even(rk[2], _mm_aeskeygenassist_si128(rk[3], 0x02));
    rk[5] = odd(rk[3], _mm_aeskeygenassist_si128(rk[4], 0x00));
    rk[6] = even(rk[4], _mm_aeskeygenassist_si128(rk[5], 0x04));
    rk[7] = odd(rk[5], _mm_aeskeygenassist_si128(rk[6], 0x00));
    rk[8] = even(rk[6], _mm_aeskeygenassist_si128(rk[7], 0x08));
    rk[9] = odd(rk[7], _mm_aeskeygenassist_si128(rk[8], 0x00));
    rk[10] = even(rk[8], _mm_aeskeygenassist_si128(rk[9], 0x10));
    rk[11] = odd(rk[9], _mm_aeskeygenassist_si128(rk[10], 0x00));
    rk[12] = even(rk[10], _mm_aeskeygenassist_si128(rk[11], 0x20));
    rk[13] = odd(rk[11], _mm_aeskeygenassist_si128(rk[12], 0x00));
    rk[14] = even(rk[12], _mm_aeskeygenassist_si128(rk[13], 0x40));
}

TARVEX_AES void encryptCounters(const __m128i* rk, std::uint64_t& counter, unsigned char* out, std::size_t blocks) {
    constexpr std::size_t kLanes = 8;
    for (std::size_t b = 0; b < blocks; b += kLanes) {
        const std::size_t n = blocks - b < kLanes ? blocks - b : kLanes;
        __m128i x[kLanes];
        for (std::size_t i = 0; i < n; ++i) x[i] = _mm_xor_si128(_mm_set_epi64x(0, static_cast<long long>(++counter)), rk[0]);
        for (int r = 1; r < 14; ++r)
            for (std::size_t i = 0; i < n; ++i) x[i] = _mm_aesenc_si128(x[i], rk[r]);
        for (std::size_t i = 0; i < n; ++i)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * (b + i)), _mm_aesenclast_si128(x[i], rk[14]));
    }
}

bool hasAesInstructions() {
    unsigned a, b, c, d;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_AES) && (c & bit_SSE4_1);
}

}  // namespace

bool AesCounterStream::available() {
    static const bool has = hasAesInstructions();
    return has;
}

AesCounterStream::AesCounterStream(const unsigned char* key32) {
    if (!available()) throw std::logic_error("AES instructions missing");
    expand(key32, reinterpret_cast<__m128i*>(roundKeys_));
}

void AesCounterStream::next(unsigned char* out, std::size_t blocks) {
    encryptCounters(reinterpret_cast<const __m128i*>(roundKeys_), counter_, out, blocks);
}

#else
bool AesCounterStream::available() { return false; }
AesCounterStream::AesCounterStream(const unsigned char*) { throw std::logic_error("AES instructions missing"); }
void AesCounterStream::next(unsigned char*, std::size_t) {}
#endif

}  // namespace tarvex::exec::pack
