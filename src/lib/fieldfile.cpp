// Field files (one line of "#"-terminated fields) with retries, and the operator's
// message box.
//
// readFieldFile and writeFieldFile let the message loop run (timers may fire and use
// fieldTable meanwhile), so they keep their fields in locals and touch the shared
// slots only where nothing can run in between: writeFieldFile takes the slots once at
// its start, readFieldFile fills them once at its very end, after its last yield.
#include <algorithm>
#include <vector>

#include "lib/routines.h"
#include "platform/files.h"
#include "platform/operator.h"

namespace tarvex {

namespace {

constexpr int kMaxAttempts = 5;
constexpr int kSilentAttempts = 3;
constexpr int kMaxLines = 399;

int slotCount(int count) { return std::clamp(count, 0, FieldTable::kSlots); }

void pump() { platform::op().processMessages(); }

// The last of the first 399 lines (CR LF, LF or CR end a line).
std::string keptLine(const std::string& content) {
    std::string line;
    int number = 0;
    size_t pos = 0;
    while (pos < content.size() && number < kMaxLines) {
        size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = content.size();
        line = content.substr(pos, end - pos);
        ++number;
        if (end == content.size()) break;
        pos = end + 1;
        if (content[end] == '\r' && pos < content.size() && content[pos] == '\n') ++pos;
    }
    return line;
}

void storeFields(const std::string& line, int count) {
    if (count < 1) return;
    fieldOf(line, count, '#');
}

// "/" ends a folder too, so a path joined with it is not refused as folderless.
std::string folderPart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

void say(const Tell& tell, const std::string& text) {
    if (tell) tell(text);
}

}  // namespace

void readFieldFile(const std::string& path, int count, const Tell& tell) {
    count = slotCount(count);
    for (int attempt = 1;; ++attempt) {
        pump();
        if (!platform::fileExists(path) || isBlankText(path) || path == "*.*") break;
        if (attempt > kSilentAttempts)
            say(tell, "(MRQ_READ) - AVISO - Erro na leitura do arquivo: " + path +
                    " Tecle Enter para tentar novamente");
        std::string content;
        const platform::IoResult fault = platform::readFile(path, content);
        if (!fault) {
            pump();
            readFieldText(content, count);
            return;
        }
        if (attempt + 1 > kMaxAttempts) {
            say(tell, "(MRQ_READ) - ERRO na tentativa de LER o Arquivo: " + path + " - " +
                    platform::systemMessage(fault->code));
            break;
        }
    }
    fieldTable.clear(1, count);
}

void readFieldText(const std::string& content, int count) {
    count = slotCount(count);
    fieldTable.clear(1, count);
    storeFields(keptLine(content), count);
}

void writeFieldFile(const std::string& path, int count, const Tell& tell) {
    count = slotCount(count);
    std::vector<std::string> fields;
    for (int k = 1; k <= count; ++k) {
        if (fieldTable[k] == "#") fieldTable[k].clear();
        fields.push_back(fieldTable[k]);
    }
    for (int attempt = 1;; ++attempt) {
        pump();
        const std::string clean = cleanPath(path);
        std::string line;
        for (const auto& f : fields) line += f + "#";
        if (!platform::dirExists(folderPart(clean))) {
            say(tell, "Diretório inválido para gravar Parâmetros (" + clean + ")");
            pump();
            return;
        }
        if (attempt > kSilentAttempts)
            say(tell, "(MRQ_WRITE) - AVISO - Erro na gravação do arquivo: " + clean +
                    " Tecle Enter para tentar novamente");
        const platform::IoResult fault = platform::replaceFile(clean, line);
        if (!fault) {
            pump();
            return;
        }
        if (attempt + 1 > kMaxAttempts) {
            say(tell, "(MRQ_WRITE) - ERRO na tentativa de GRAVAR o Arquivo: " + clean + " - " +
                    platform::systemMessage(fault->code));
            return;
        }
    }
}

// Works on its own copy of the levels, so it leaves fieldTable alone.
void createFolders(const std::string& path) {
    if (platform::dirExists(path)) return;
    std::vector<std::string> parts(1);
    // A network path's first level is its share ("\\SERVIDOR\backup"), never made here.
    size_t from = 0;
    if (path.rfind("\\\\", 0) == 0) {
        const size_t server = path.find('\\', 2);
        from = server == std::string::npos ? path.size() : std::min(path.find('\\', server + 1), path.size());
        parts[0] = path.substr(0, from);
    }
    for (char c : path.substr(from)) {
        if (c != '\\') parts.back() += c;
        else if (parts.size() < 10) parts.emplace_back();
        else break;
    }
    std::string current = parts[0] + "\\";
    for (size_t i = 1; i < parts.size() && !parts[i].empty(); ++i) {
        current += parts[i];
        if (!platform::dirExists(current)) platform::createDir(current);
        current += "\\";
    }
}

}  // namespace tarvex
