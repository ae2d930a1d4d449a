#include "settings/mail_settings.h"

#include <algorithm>

#include "lib/keep_aside.h"
#include "lib/routines.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/files.h"

namespace tarvex::settings {

namespace {

constexpr const char* kMarker = "EMAIL";

// A "#" would shift the fields after it; line breaks would cut the line.
std::string fieldText(const std::string& text) {
    std::string out;
    for (char c : text) out += (c == '#' || c == '\r' || c == '\n') ? ' ' : c;
    return out;
}

int portOf(const std::string& text, int fallback) {
    try {
        const int port = toInt(trim(text));
        return port >= 1 && port <= 65535 ? port : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

bool hourReadable(const std::string& hour) {
    return hour.size() == 5 && hour[2] == ':' && isdigit(static_cast<unsigned char>(hour[0])) &&
           isdigit(static_cast<unsigned char>(hour[1])) && isdigit(static_cast<unsigned char>(hour[3])) &&
           isdigit(static_cast<unsigned char>(hour[4])) && hour.substr(0, 2) < "24" && hour.substr(3, 2) < "60";
}

// A file saved by an editor in UTF-8 (Notepad's default, with or without its
// mark) reads as the Windows-1252 the program keeps; a Windows-1252 file, which
// is never well-formed UTF-8 once it has an accent, stays as it is.
std::string asCp1252(std::string bytes) {
    const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (marked) bytes.erase(0, 3);
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
    if (!high) return bytes;
    std::string text = platform::utf8ToCp1252(bytes);
    return marked || platform::cp1252ToUtf8(text) == bytes ? text : bytes;
}

// What is wrong with the file's bytes; empty when they read as the program writes them.
std::string mailFault(const std::string& bytes) {
    std::string line = bytes;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty()) return "está vazio.";
    if (line.find_first_of("\r\n") != std::string::npos) return "tem mais de uma linha; o TARVEX grava uma só.";
    if (line.back() != '#') return "termina no meio de um campo (o arquivo foi cortado).";
    const auto fields = std::count(line.begin(), line.end(), '#');
    if (fields != kMailFieldCount)
        return "tem " + std::to_string(fields) + " campos, e o TARVEX grava " + std::to_string(kMailFieldCount) + ".";
    if (line.compare(0, 6, std::string(kMarker) + "#") != 0)
        return std::string("o primeiro campo não é ") + kMarker + ".";
    return {};
}

}  // namespace

bool MailSettings::ready() const { return !trim(host).empty() && !trim(sender).empty() && !recipientList().empty(); }

std::vector<std::string> MailSettings::recipientList() const {
    std::vector<std::string> list;
    std::string one;
    for (char c : recipients + ";") {
        if (c == ';' || c == ',') {
            if (!trim(one).empty()) list.push_back(trim(one));
            one.clear();
        } else {
            one += c;
        }
    }
    return list;
}

MailSettings readMailSettings(const std::string& folder, const std::function<void(const std::string&)>& tell) {
    MailSettings s;
    const std::string path = folder + kMailFileName;
    if (!platform::fileExists(path)) return s;
    fieldTable.clear(1, kMailFieldCount);
    std::string bytes;
    if (platform::readFile(path, bytes)) {
        readFieldFile(path, kMailFieldCount, tell);   // locked: retried, then nothing is sent
    } else if (const std::string text = asCp1252(bytes), why = mailFault(text); !why.empty()) {
        // Kept aside (as it was) before a save of the page can replace it with what the page shows.
        const std::string copy = keepAside(path, bytes, platform::clock().now());
        if (tell)
            tell("O arquivo de e-mail " + path + " não foi lido: " + why + "\r\n" + asideNote(copy) +
                 "\r\nNenhum e-mail será enviado até que a seção E-mail seja salva.");
        return s;
    } else {
        readFieldText(text, kMailFieldCount);
    }
    if (fieldTable[1] != kMarker) return s;   // unreadable or not ours: nothing is sent
    s.host = trim(fieldTable[2]);
    s.port = portOf(fieldTable[3], s.port);
    const std::string security = trim(fieldTable[4]);
    if (security == "0") s.security = platform::MailSecurity::None;
    if (security == "2") s.security = platform::MailSecurity::Tls;
    s.user = trim(fieldTable[5]);
    s.storedPassword = trim(fieldTable[6]);
    s.sender = trim(fieldTable[7]);
    s.recipients = trim(fieldTable[8]);
    s.subjectPrefix = fieldTable[9];
    s.onFailure = fieldTable[10] != "N";
    s.dailyReport = fieldTable[11] == "S";
    if (hourReadable(trim(fieldTable[12]))) s.reportHour = trim(fieldTable[12]);
    s.staleAlarm = fieldTable[13] != "N";
    return s;
}

void writeMailSettings(const std::string& folder, const MailSettings& s,
                       const std::function<void(const std::string&)>& tell) {
    const std::string fields[kMailFieldCount] = {
        kMarker, s.host, std::to_string(s.port), std::to_string(static_cast<int>(s.security)), s.user,
        s.storedPassword, s.sender, s.recipients, s.subjectPrefix, s.onFailure ? "S" : "N",
        s.dailyReport ? "S" : "N", s.reportHour, s.staleAlarm ? "S" : "N", "", "", ""};
    for (int slot = 1; slot <= kMailFieldCount; ++slot) fieldTable[slot] = fieldText(fields[slot - 1]);
    writeFieldFile(folder + kMailFileName, kMailFieldCount, tell);
}

platform::MailServer mailServer(const MailSettings& s, const std::string& password) {
    return {trim(s.host), s.port, s.security, trim(s.user), password};
}

}  // namespace tarvex::settings
