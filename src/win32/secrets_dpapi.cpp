// DPAPI binds the protected bytes to the Windows user. Wine's DPAPI does not,
// so a random value kept in the user's registry is added as entropy: a file
// copied to another user, PC or Wine prefix cannot be read back there either.
#include <windows.h>
#include <wincrypt.h>

#include <vector>

#include "win32/secrets_dpapi.h"

namespace tarvex::win32 {

namespace {

const wchar_t* const kKey = L"Software\\TARVEX";
const wchar_t* const kValue = L"ChaveSenhas";
constexpr char kMark[] = "DP1";   // version of the stored form

std::vector<BYTE> readEntropy() {
    std::vector<BYTE> bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_BINARY, nullptr, bytes.data(), &size) !=
            ERROR_SUCCESS || size < 16)
        return {};
    bytes.resize(size);
    return bytes;
}

std::vector<BYTE> makeEntropy() {
    std::vector<BYTE> bytes = readEntropy();
    if (!bytes.empty()) return bytes;
    bytes.assign(32, 0);
    HCRYPTPROV prov = 0;
    if (!CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) return {};
    const bool ok = CryptGenRandom(prov, static_cast<DWORD>(bytes.size()), bytes.data());
    CryptReleaseContext(prov, 0);
    if (!ok) return {};
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return {};
    const LONG rc = RegSetValueExW(key, kValue, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? bytes : std::vector<BYTE>{};
}

std::string toHex(const BYTE* data, DWORD size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size * 2);
    for (DWORD i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

bool fromHex(const std::string& text, std::vector<BYTE>& out) {
    if (text.size() % 2) return false;
    auto value = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = value(text[i]), lo = value(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<BYTE>(hi * 16 + lo));
    }
    return true;
}

class DpapiSecrets : public platform::Secrets {
public:
    std::string protect(const std::string& clear) override {
        std::vector<BYTE> entropy = makeEntropy();
        if (entropy.empty()) return {};
        DATA_BLOB in{static_cast<DWORD>(clear.size()), reinterpret_cast<BYTE*>(const_cast<char*>(clear.data()))};
        DATA_BLOB salt{static_cast<DWORD>(entropy.size()), entropy.data()};
        DATA_BLOB out{};
        if (!CryptProtectData(&in, L"TARVEX", &salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return {};
        std::string text = kMark + toHex(out.pbData, out.cbData);
        LocalFree(out.pbData);
        return text;
    }

    std::optional<std::string> unprotect(const std::string& stored) override {
        std::vector<BYTE> entropy = readEntropy(), bytes;
        if (entropy.empty() || stored.rfind(kMark, 0) != 0 || !fromHex(stored.substr(sizeof kMark - 1), bytes) ||
            bytes.empty())
            return std::nullopt;
        DATA_BLOB in{static_cast<DWORD>(bytes.size()), bytes.data()};
        DATA_BLOB salt{static_cast<DWORD>(entropy.size()), entropy.data()};
        DATA_BLOB out{};
        if (!CryptUnprotectData(&in, nullptr, &salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
            return std::nullopt;
        std::string clear(reinterpret_cast<const char*>(out.pbData), out.cbData);
        SecureZeroMemory(out.pbData, out.cbData);
        LocalFree(out.pbData);
        return clear;
    }
};

}  // namespace

platform::Secrets& dpapiSecrets() {
    static DpapiSecrets dpapi;
    return dpapi;
}

}  // namespace tarvex::win32
