#pragma once
// Letter case in Windows-1252, the code page every text of the system is kept in:
// ASCII, the accented Latin letters and the few letters at 0x8A..0x9F.
#include <string>

namespace tarvex {

unsigned char upper1252(unsigned char c);
unsigned char lower1252(unsigned char c);
std::string upper1252(std::string text);

}  // namespace tarvex
