#include <windows.h>

#include "win32/handles.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool readString(HKEY root, const wchar_t* key, const std::string& name, std::string& value) {
    std::wstring wName = widen(name);
    DWORD bytes = 0;
    if (RegGetValueW(root, key, wName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return false;
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(root, key, wName.c_str(), RRF_RT_REG_SZ, nullptr, data.data(), &bytes) != ERROR_SUCCESS)
        return false;
    data.resize(wcsnlen(data.c_str(), data.size()));
    value = narrow(data);
    return true;
}

}  // namespace

bool Win32Registry::getRun(bool machineWide, const std::string& name, std::string& value) {
    return readString(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunKey, name, value);
}

bool Win32Registry::setRun(const std::string& name, const std::string& value) {
    RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    std::wstring wName = widen(name), wValue = widen(value);
    const LONG rc = RegSetValueExW(key.get(), wName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wValue.c_str()),
                             static_cast<DWORD>((wValue.size() + 1) * sizeof(wchar_t)));
    return rc == ERROR_SUCCESS;
}

bool Win32Registry::deleteRun(bool machineWide, const std::string& name) {
    RegKey key;
    if (RegOpenKeyExW(machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.out()) !=
        ERROR_SUCCESS)
        return false;
    std::wstring wName = widen(name);
    const LONG rc = RegDeleteValueW(key.get(), wName.c_str());
    return rc == ERROR_SUCCESS;
}

std::string Win32Registry::readGbDir5() {
    std::string value;
    if (!readString(HKEY_CURRENT_USER, L"Software\\VALDRIN\\USER\\GLOBAIS_FB", "GB_DIR5", value)) return {};
    return value;
}

}  // namespace tarvex::win32
