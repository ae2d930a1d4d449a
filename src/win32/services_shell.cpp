#include <windows.h>
#include <shellapi.h>

#include "win32/handles.h"
#include "win32/services_process.h"
#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex::win32 {

namespace {

// The shell's copy answers with its own codes (below 0x100, and the flag for "on
// the destination"), which collide with system error numbers: they are named here.
std::string shellCopyReason(int code) {
    switch (code & 0xFFFF) {
        case 0x71: return "origem e destino são o mesmo arquivo";
        case 0x72: case 0x7A: return "várias origens para um destino";
        case 0x75: return "cópia cancelada";
        case 0x76: case 0x7D: return "o destino fica dentro da origem";
        case 0x78: return "acesso negado à origem";
        case 0x79: case 0x81: case 0xB7: return "caminho longo demais";
        case 0x7C: return "origem inexistente ou caminho inválido";
        case 0x7E: return "o destino é um arquivo, não uma pasta";
        case 0x80: return "já existe uma pasta com o nome do arquivo";
        case 0x82: case 0x83: case 0x84: return "o destino é um disco só de leitura";
        case 0x85: return "arquivo grande demais para o destino";
        case 0x402: return "erro desconhecido no destino";
        default: return {};
    }
}

// The copy runs on a thread of its own so that the window stays alive through a
// long one; its dialogs (when its flags allow them) belong to that thread.
struct CopyJob {
    std::vector<wchar_t> source, target;
    unsigned flags = 0;
    int result = 0;
};

DWORD WINAPI copyThread(void* param) {
    auto& job = *static_cast<CopyJob*>(param);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = job.source.data();
    op.pTo = job.target.data();
    op.fFlags = static_cast<FILEOP_FLAGS>(job.flags);
    job.result = SHFileOperationW(&op);
    // A copy the operator cancelled half-way is not a finished copy.
    if (job.result == 0 && op.fAnyOperationsAborted) job.result = ERROR_CANCELLED;
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

}  // namespace

platform::IoResult Win32Shell::copy(const std::string& from, const std::string& to, unsigned flags) {
    CopyJob job{doubleNulList({from}), doubleNulList({to}), flags};
    const Handle thread(CreateThread(nullptr, 0, copyThread, &job, 0, nullptr));
    if (thread) waitPumping(thread.get());
    else copyThread(&job);
    const int result = job.result;
    if (result == 0) return std::nullopt;
    const std::string path = from + " => " + to;
    const std::string reason = shellCopyReason(result);
    if (reason.empty()) return platform::ioError("Erro na cópia", path, {result, std::system_category()});
    return platform::IoError{path, {result, std::system_category()}, "Erro na cópia: " + path + " - " + reason};
}

bool Win32Shell::open(const std::string& file, const std::string& params, const std::string& folder,
                      int show) {
    std::wstring wFile = widen(file), wParams = widen(params), wFolder = widen(folder);
    HINSTANCE h = ShellExecuteW(nullptr, L"open", wFile.c_str(), params.empty() ? nullptr : wParams.c_str(),
                                folder.empty() ? nullptr : wFolder.c_str(), show);
    return reinterpret_cast<INT_PTR>(h) > 32;
}

bool Win32Shell::driveExists(char letter) {
    const char up = static_cast<char>(letter >= 'a' && letter <= 'z' ? letter - 32 : letter);
    if (up < 'A' || up > 'Z') return false;
    return (GetLogicalDrives() >> (up - 'A')) & 1u;
}

char Win32Shell::driveOfLabel(const std::string& label) {
    const std::wstring wanted = widen(label);
    const DWORD drives = GetLogicalDrives();
    for (int i = 2; i < 26; ++i) {   // A: and B: are floppies that may stall
        if (!((drives >> i) & 1u)) continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        wchar_t name[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root, name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            CompareStringOrdinal(name, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL)
            return static_cast<char>('A' + i);
    }
    return 0;
}

}  // namespace tarvex::win32
