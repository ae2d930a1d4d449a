#include "exec/send_address.h"

#include <cctype>

#include "exec/placeholders.h"
#include "exec/send_task.h"
#include "lib/routines.h"
#include "platform/secrets.h"
#include "tasks/columns.h"

namespace tarvex::exec {

namespace {

using P = platform::ServerProtocol;

struct Scheme {
    const char* prefix;
    P protocol;
    int port;
};
constexpr Scheme kSchemes[] = {
    {"ftp://", P::Ftp, 21}, {"ftpes://", P::FtpExplicitTls, 21}, {"ftps://", P::FtpImplicitTls, 990},
    {"sftp://", P::Sftp, 22}};

const char* const kForms = "ftp://, ftpes://, ftps:// ou sftp://";

std::string lowered(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool hostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

// "1" to "65535"; 0 for anything else.
int portOf(const std::string& text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int port = std::stoi(text);
    return port <= 65535 ? port : 0;
}

// The folder's parts joined by "/": empty parts dropped, "." and ".." refused; a
// path that begins with "/" (the address's "//") is from the server's root.
bool folderOf(const std::string& path, std::string& folder) {
    folder.clear();
    size_t from = 0;
    while (from <= path.size()) {
        size_t to = path.find('/', from);
        if (to == std::string::npos) to = path.size();
        const std::string part = path.substr(from, to - from);
        if (part == "." || part == "..") return false;
        for (char c : part)
            if (static_cast<unsigned char>(c) < ' ' || c == '\\') return false;
        if (!part.empty()) folder += (folder.empty() ? "" : "/") + part;
        from = to + 1;
    }
    if (!path.empty() && path[0] == '/' && !folder.empty()) folder = "/" + folder;
    return true;
}

// Seconds or a count as stored ("" or "0": none); unreadable text is none too.
int countOf(std::string_view cell) {
    const std::string t = trim(cell);
    if (t.empty() || t.size() > 6 || t.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoi(t);
}

}  // namespace

std::string readSendJob(const tasks::TaskTable& table, int row, const RunContext& ctx,
                        const std::string& programFolder, SendJob& job) {
    job.folder = expandPlaceholders(ctx, trim(table.cell(col::DIR_ORIGEM, row)));
    job.masks = trim(table.cell(col::ARQUIVO, row));
    const std::string address = expandPlaceholders(ctx, trim(table.cell(col::DIR_DESTINO, row)));
    if (std::string wrong = readServerAddress(address, job.place); !wrong.empty()) return wrong;
    job.place.user = trim(table.cell(col::USUARIO_SERVIDOR, row));
    if (const std::string stored = trim(table.cell(col::SENHA_SERVIDOR, row)); !stored.empty()) {
        const std::optional<std::string> clear = platform::secrets().unprotect(stored);
        if (!clear) return "a senha do servidor não pôde ser lida neste computador: digite-a de novo na tarefa";
        job.place.password = *clear;
    }
    job.place.limitSeconds = countOf(table.cell(col::LIMITE_SERVIDOR, row));
    job.place.knownHostsFile = programFolder + "\\" + kServerKeysFile;
    job.keep = countOf(table.cell(col::MANTER, row));
    return "";
}

std::string readServerAddress(const std::string& address, platform::ServerPlace& place) {
    const std::string text = trim(address);
    if (text.empty()) return std::string("Informe o endereço do servidor (") + kForms + ")";
    const Scheme* scheme = nullptr;
    for (const Scheme& s : kSchemes)
        if (lowered(text).rfind(s.prefix, 0) == 0) scheme = &s;
    if (!scheme) return std::string("O endereço do servidor deve começar com ") + kForms + ": " + text;
    const std::string rest = text.substr(std::char_traits<char>::length(scheme->prefix));
    const size_t slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    if (authority.find('@') != std::string::npos)
        return "O usuário e a senha não vão no endereço do servidor: informe-os nos seus campos";
    const size_t colon = authority.find(':');
    const std::string host = authority.substr(0, colon);
    if (host.empty()) return "Falta o nome do servidor no endereço: " + text;
    for (char c : host)
        if (!hostCharacter(c)) return "Nome de servidor inválido no endereço: " + text;
    int port = scheme->port;
    if (colon != std::string::npos && !(port = portOf(authority.substr(colon + 1))))
        return "Porta inválida no endereço do servidor (de 1 a 65535): " + text;
    std::string folder;
    if (slash != std::string::npos && !folderOf(rest.substr(slash + 1), folder))
        return "Pasta inválida no endereço do servidor (sem \".\", \"..\" nem \"\\\"): " + text;
    place.protocol = scheme->protocol;
    place.host = host;
    place.port = port;
    place.folder = folder;
    return "";
}

}  // namespace tarvex::exec
