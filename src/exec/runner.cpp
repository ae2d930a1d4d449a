#include "exec/runner.h"

#include <filesystem>

#include "exec/batch_text.h"
#include "lib/routines.h"
#include "platform/files.h"
#include "platform/operator.h"

namespace tarvex::exec {

namespace {

std::string withoutTrailingSeparator(std::string path) {
    if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

bool isEmptyFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::directory_iterator(platform::fsPath(path), ec) == std::filesystem::directory_iterator();
}

}  // namespace

platform::ProcessEnd CommandRunner::runCommandLine(const std::string& command, int show) {
    const std::string line = cleanPath(command);
    platform::op().processMessages();
    platform::ProcessEnd end = services_.processes.runAndWait(line, show, limitSeconds_);
    platform::op().processMessages();
    return end;
}

platform::ProcessEnd CommandRunner::runBatchCommand(const std::string& command, int show) {
    const std::string text = replaceText(cleanPath(command), "/", "");
    if (text.find(".BAT") != std::string::npos) return runCommandLine(text, show);
    const std::string batch = exeFolder_ + "ArqBat.Bat";
    if (auto error = platform::overwriteFile(batch, text + "\r\n")) return {0, error};
    return runCommandLine(batch, show);
}

// cmd reads "%NAME%" as a variable in its own command line too, quoted or not,
// and there nothing escapes it: such a folder would start another file.
platform::ProcessEnd CommandRunner::runBatchFile(const std::string& path, int show) {
    if (path.find_first_of("%\"") != std::string::npos)
        return {0, platform::IoError{path, {}, refusedCharacterText(path[path.find_first_of("%\"")],
                                                                     "A pasta do TARVEX")}};
    platform::op().processMessages();
    platform::ProcessEnd end = services_.processes.runAndWait("\"" + path + "\"", show, limitSeconds_);
    platform::op().processMessages();
    return end;
}

platform::IoResult CommandRunner::copyFolder(const std::string& source, const std::string& destination) {
    const std::string from = trim(source), to = trim(destination);
    const auto refused = [&](const std::string& why) { return platform::IoError{from, {}, why}; };
    if (from.empty()) return refused("Diretório fonte não pode ficar em branco");
    if (to.empty()) return refused("Diretório destino não pode ficar em branco");
    if (!platform::dirExists(from)) return refused("Diretório fonte inexistente: " + from);
    const unsigned flags = platform::FOF_SILENT_ | platform::FOF_NOCONFIRMATION_ | platform::FOF_NOCONFIRMMKDIR_;
    const std::string folder = withoutTrailingSeparator(from), target = withoutTrailingSeparator(to);
    // The shell copies a folder into an existing one of that name (Pasta\Pasta):
    // an existing destination is refreshed with the source's contents instead.
    if (!platform::dirExists(target)) return services_.shell.copy(folder, target, flags, limitSeconds_);
    if (isEmptyFolder(folder)) return std::nullopt;
    return services_.shell.copy(folder + "\\*", target, flags, limitSeconds_);
}

platform::IoResult CommandRunner::copyFiles(const std::string& source, const std::string& destination,
                                                    const std::string& mode) {
    platform::op().processMessages();
    const unsigned flags = mode == "1" ? platform::FOF_NOCONFIRMATION_ | platform::FOF_ALLOWUNDO_ |
                                             platform::FOF_SIMPLEPROGRESS_
                                       : 0u;
    platform::IoResult error = services_.shell.copy(trim(source), trim(destination), flags, limitSeconds_);
    platform::op().processMessages();
    return error;
}

}  // namespace tarvex::exec
