#pragma once
// Windows-1252 conversions, independent of the machine's ANSI code page.
#include <string>
#include <string_view>

namespace tarvex::platform {

std::u16string cp1252ToUtf16(std::string_view s);
std::string utf16ToCp1252(const std::u16string& s);   // unmappable -> '?'
std::string cp1252ToUtf8(const std::string& s);
std::string utf8ToCp1252(const std::string& s);       // unmappable -> '?'

}  // namespace tarvex::platform
