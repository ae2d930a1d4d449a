#include "settings/settings_file.h"

#include <algorithm>
#include <exception>

#include "lib/keep_aside.h"
#include "lib/routines.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/files.h"
#include "settings/autorun.h"

namespace tarvex::settings {

std::string settingsFolder() { return platform::exeFolder(); }

namespace {

// The marker the file always holds in field 5: a shifted line does not.
constexpr const char* kMarker = "CALENDARIO";

Settings fromSlots() {
    Fields fields;
    for (int slot = 1; slot <= kFieldCount; ++slot) fields[slot - 1] = fieldTable[slot];
    return fromFields(fields);
}

bool isUtf8Text(const std::string& bytes) {
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
    return high && platform::cp1252ToUtf8(platform::utf8ToCp1252(bytes)) == bytes;
}

// Field k (from 1) of a line known to hold at least k fields.
std::string fieldAt(const std::string& line, int k) {
    size_t from = 0;
    for (int i = 1; i < k; ++i) from = line.find('#', from) + 1;
    return line.substr(from, line.find('#', from) - from);
}

}  // namespace

std::string settingsFault(const std::string& bytes) {
    if (bytes.empty()) return "está vazio (0 bytes).";
    std::string line = bytes;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty()) return "não tem nenhum campo.";
    if (line.find_first_of("\r\n") != std::string::npos) return "tem mais de uma linha; o TARVEX grava uma só.";
    const auto fields = std::count(line.begin(), line.end(), '#');
    if (line.back() != '#') return "termina no meio de um campo (o arquivo foi cortado).";
    if (fields > kFieldCount)
        return "tem " + std::to_string(fields) + " campos, e o TARVEX grava " + std::to_string(kFieldCount) + ".";
    // Older versions wrote fewer fields: those there are read, the rest take
    // their defaults. Shifted fields still show in the marker's place.
    if (fields >= 5 && fieldAt(line, 5) != kMarker)
        return std::string("o campo 5 não é ") + kMarker + ": os campos estão fora do lugar.";
    if (isUtf8Text(bytes)) return "está gravado em UTF-8; o TARVEX grava em Windows-1252.";
    return {};
}

Settings readSettingsFile(const std::string& folder, const Tell& tell) {
    const std::string path = folder + kFileName;
    std::string bytes, fault;
    if (platform::dirExists(path)) {
        fault = "No lugar do arquivo de parâmetros " + path + " há uma pasta.";
    } else if (!platform::fileExists(path) || platform::readFile(path, bytes)) {
        readFieldFile(path, kFieldCount, tell);   // absent: the defaults; unreadable: retried, then the defaults
        return fromSlots();
    } else if (const std::string why = settingsFault(bytes); !why.empty()) {
        fault = "O arquivo de parâmetros " + path + " não foi lido: " + why + "\r\n" +
                asideNote(keepAside(path, bytes, platform::clock().now()));
    } else {
        readFieldText(bytes, kFieldCount);
        return fromSlots();
    }
    if (tell) tell(fault + "\r\nOs parâmetros padrão estão em uso; \"Salvar Parâmetros\" grava os da tela.");
    return Settings{};
}

void writeSettingsFile(const std::string& folder, const Settings& s, const Tell& tell) {
    const Fields fields = toFields(s);
    for (int slot = 1; slot <= kFieldCount; ++slot) fieldTable[slot] = fields[slot - 1];
    writeFieldFile(folder + kFileName, kFieldCount, tell);
}

Settings readSettings(const std::string& folder, platform::Registry& registry,
                 const std::string& exePath, const Tell& tell) {
    Settings s = readSettingsFile(folder, tell);
    try {
        s.autorun = autorunEnabled(registry, exePath);
    } catch (const std::exception& e) {
        if (tell) tell(std::string("Erro na leitura do AUTORUN - ") + e.what());
    }
    return s;
}

void storeSettings(const std::string& folder, const Settings& s, platform::Registry& registry,
                   const std::string& exePath, const Tell& tell) {
    // The settings are saved all the same; the check box shows the value as read back.
    if (const AutorunFault fault = autorunApply(registry, s.autorun, exePath))
        if (tell) tell("Erro na gravação do AUTORUN - " + *fault);
    writeSettingsFile(folder, s, tell);
}

}  // namespace tarvex::settings
