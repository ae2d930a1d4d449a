#pragma once
// Windows-1252 <-> UTF-16 at the wide Win32 calls, whatever the ANSI code page.
#include <string>
#include <string_view>
#include <vector>

namespace tarvex::win32 {

std::wstring widen(std::string_view cp1252);
std::string narrow(const std::wstring& utf16);        // unmappable -> '?'
std::string narrow(const wchar_t* utf16, size_t length);

// One or more paths as the shell's file operation wants them: each ended by a
// NUL and the whole list by a second NUL.
std::vector<wchar_t> doubleNulList(const std::vector<std::string>& cp1252Paths);

}  // namespace tarvex::win32
