#include "exec/runner.h"

#include "lib/mrqr.h"
#include "platform/files.h"
#include "platform/operator.h"

namespace tarvex::exec {

namespace {

std::string withoutTrailingSeparator(std::string path) {
    if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

}  // namespace

int CommandRunner::MRQ_EXECUTA(const std::string& command, int show) {
    int result = -1;
    try {
        const std::string line = MRQ_LIMPA_PATH(command);
        platform::op().processMessages();
        result = services_.processes.runAndWait(line, show);
    } catch (...) {
        result = -1;
    }
    platform::op().processMessages();
    return result;
}

int CommandRunner::MRQ_EXECUTA_BAT(const std::string& command, int show) {
    const std::string text = MRQ_TROCA(MRQ_LIMPA_PATH(command), "/", "");
    if (text.find(".BAT") != std::string::npos) return MRQ_EXECUTA(text, show);
    const std::string batch = exeFolder_ + "ArqBat.Bat";
    if (!platform::writeFile(batch, text + "\r\n").empty()) return -1;
    return MRQ_EXECUTA(batch, show);
}

std::string CommandRunner::MRQ_COPIA_PASTA(const std::string& source, const std::string& destination) {
    const std::string from = trim(source), to = trim(destination);
    if (from.empty()) return "Diretório fonte não pode ficar em branco";
    if (to.empty()) return "Diretório destino não pode ficar em branco";
    if (!platform::dirExists(from)) return "Diretório fonte inexistente";
    try {
        const unsigned flags = platform::FOF_SILENT_ | platform::FOF_NOCONFIRMATION_ |
                               platform::FOF_NOCONFIRMMKDIR_;
        int r = services_.shell.copy(withoutTrailingSeparator(from), withoutTrailingSeparator(to), flags);
        return r == 0 ? "OK" : "ERRO";
    } catch (...) {
        return "ERRO";
    }
}

bool CommandRunner::MRQ_COPIA_ARQUIVO(const std::string& source, const std::string& destination,
                                      const std::string& mode) {
    platform::op().processMessages();
    bool ok = false;
    try {
        const unsigned flags = mode == "1" ? platform::FOF_NOCONFIRMATION_ | platform::FOF_ALLOWUNDO_ |
                                                 platform::FOF_SIMPLEPROGRESS_
                                           : 0u;
        ok = services_.shell.copy(trim(source), trim(destination), flags) == 0;
    } catch (...) {
        ok = false;
    }
    platform::op().processMessages();
    return ok;
}

}  // namespace tarvex::exec
