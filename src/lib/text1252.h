#pragma once
// Letter case in Windows-1252, the code page every text of the system is kept in:
// ASCII, the accented Latin letters and the few letters at 0x8A..0x9F. Inline
// tables: sorting and matching call these once per character.
#include <array>
#include <string>

namespace tarvex {

namespace text1252 {

constexpr unsigned char upperOf(unsigned c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);   // à..þ, not ÷
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 0x10);   // š œ ž
    if (c == 0xFF) return 0x9F;                                                            // ÿ
    return static_cast<unsigned char>(c);
}

constexpr unsigned char lowerOf(unsigned c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);   // À..Þ, not ×
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);   // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                                            // Ÿ
    return static_cast<unsigned char>(c);
}

template <unsigned char (*Map)(unsigned)>
constexpr std::array<unsigned char, 256> table() {
    std::array<unsigned char, 256> t{};
    for (unsigned c = 0; c < 256; ++c) t[c] = Map(c);
    return t;
}

inline constexpr auto kUpper = table<upperOf>();
inline constexpr auto kLower = table<lowerOf>();

}  // namespace text1252

inline unsigned char upper1252(unsigned char c) { return text1252::kUpper[c]; }
inline unsigned char lower1252(unsigned char c) { return text1252::kLower[c]; }

inline std::string upper1252(std::string text) {
    for (char& ch : text) ch = static_cast<char>(upper1252(static_cast<unsigned char>(ch)));
    return text;
}

}  // namespace tarvex
