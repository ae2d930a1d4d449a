#include "win32/wide.h"

#include "platform/cp1252.h"

namespace tarvex::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

std::wstring widen(std::string_view cp1252) {
    std::u16string u = platform::cp1252ToUtf16(cp1252);
    return std::wstring(u.begin(), u.end());
}

std::string narrow(const wchar_t* utf16, size_t length) {
    return platform::utf16ToCp1252(std::u16string(utf16, utf16 + length));
}

std::string narrow(const std::wstring& utf16) { return narrow(utf16.data(), utf16.size()); }

std::vector<wchar_t> doubleNulList(const std::vector<std::string>& cp1252Paths) {
    std::vector<wchar_t> list;
    for (const std::string& p : cp1252Paths) {
        std::wstring w = widen(p);
        list.insert(list.end(), w.begin(), w.end());
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

}  // namespace tarvex::win32
