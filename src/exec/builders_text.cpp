// The command texts of the copy and backup pages.
#include "exec/builder_lines.h"

#include "exec/batch_text.h"
#include "lib/routines.h"

namespace tarvex::exec {

const std::array<std::string, 3> GBAK_SET_LINES = {
    "REM set isc_user=SYSDBA ", "REM set isc_password=zanquiber ", "REM set firebird_msg=C:\\VALDRINB\\EXE "};

namespace {
size_t afterFolder(const std::string& path) {
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? 0 : cut + 1;
}
}  // namespace

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }
std::string folderOf(const std::string& path) { return path.substr(0, afterFolder(path)); }
std::string nameOf(const std::string& path) { return path.substr(afterFolder(path)); }

std::string penFolderOfFile(const std::string& file) {
    const std::string folder = folderOf(file);
    std::string destino = "[PEN]" + (folder.empty() ? folder : folder.substr(1)) + "[EXT]\\";
    return inQuotes(replaceText(destino, "\\[EXT]\\", "[EXT]\\"));
}

std::string penFolderOfOrigin(const std::string& origem) {
    std::string destino;
    if (!origem.empty() && origem[0] == '"')
        destino = "[PEN]" + origem.substr(std::min<size_t>(2, origem.size())) + "[EXT]\\";
    else
        destino = "[PEN]" + origem.substr(std::min<size_t>(1, origem.size())) + "\\";
    return inQuotes(collapseBackslashes(replaceText(destino, "\"", "")));
}

// Each path is one argument whatever it holds; the boxes may show them quoted or not.
std::string xcopyLine(const std::string& origem, const std::string& destino) {
    std::string folder = collapseBackslashes(unquoted(destino));
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return "XCOPY  " + batchArgument(unquoted(origem), "A pasta de ORIGEM") + ARROW +
           batchArgument(folder, "A pasta de DESTINO") + XCOPY_SWITCHES;
}

std::string folderPairLine(const std::string& origem, const std::string& destino) {
    return origem + "\\" + ARROW + destino;
}

// A "/" ends a folder too: it can never be part of a Windows file name, and a
// server path ("host/3050:/dados/base.fdb") would otherwise name no file.
std::string gbakBaseName(const std::string& source) {
    const size_t cut = source.find_last_of("\\:/");
    const std::string name = cut == std::string::npos ? source : source.substr(cut + 1);
    return name.substr(0, name.find('.'));
}

std::string gbakLine(const std::string& pastaExe, const std::string& source, const std::string& destino,
                     const std::string& extensao) {
    std::string backup = destino + "\\" + gbakBaseName(source) + "[EXT].GDK";
    if (!extensao.empty()) backup = replaceText(backup, "[EXT]", extensao);
    return batchArgument(pastaExe + "\\GBAK", "A pasta do GBAK") + " -G -B -V -T -Z " +
           " -user SYSDBA -password zanquiber" + "   " + batchArgument(source, "O arquivo de ORIGEM") + "   " +
           batchArgument(backup, "A pasta de DESTINO ou a Extensão");
}


}  // namespace tarvex::exec
