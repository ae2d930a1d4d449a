#include "lib/text1252.h"

namespace tarvex {

unsigned char upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;   // à..þ, not ÷
    switch (c) {
        case 0x9A: return 0x8A;   // š
        case 0x9C: return 0x8C;   // œ
        case 0x9E: return 0x8E;   // ž
        case 0xFF: return 0x9F;   // ÿ
        default: return c;
    }
}

unsigned char lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;   // À..Þ, not ×
    switch (c) {
        case 0x8A: return 0x9A;   // Š
        case 0x8C: return 0x9C;   // Œ
        case 0x8E: return 0x9E;   // Ž
        case 0x9F: return 0xFF;   // Ÿ
        default: return c;
    }
}

std::string upper1252(std::string text) {
    for (char& ch : text) ch = static_cast<char>(upper1252(static_cast<unsigned char>(ch)));
    return text;
}

}  // namespace tarvex
