#include "mail/outbox.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "lib/routines.h"
#include "mail/letters.h"
#include "mail/message.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace tarvex::mail {

namespace {

constexpr const char* kExtension = ".eml";
constexpr const char* kTempMark = ".eml.tmp~";   // the temporary of a message being written

// The envelope heads the file: "DE:", "PARA:" and "ASSUNTO:" lines, a blank line, the message.
std::string fileText(const Queued& q) {
    std::string to;
    for (const auto& a : q.to) to += (to.empty() ? "" : ";") + a;
    return "DE: " + q.from + "\r\nPARA: " + to + "\r\nASSUNTO: " + q.subject + "\r\n\r\n" + q.message;
}

std::string headLine(const std::string& text, const std::string& key, size_t& at) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos || text.compare(at, key.size(), key) != 0) return {};
    std::string value = text.substr(at + key.size(), end - at - key.size());
    at = end + 2;
    return value;
}

}  // namespace

bool Outbox::put(const Queued& q, std::vector<std::string>& dropped) {
    if (!platform::dirExists(folder_)) platform::createDir(folder_.substr(0, folder_.size() - 1));
    const LocalTime t = platform::clock().now();
    std::string name = zeroPad(t.year, 4) + zeroPad(t.month, 2) + zeroPad(t.day, 2) + "-" + zeroPad(t.hour, 2) +
                       zeroPad(t.minute, 2) + zeroPad(t.second, 2) + "-" + zeroPad(++sequence_ % 10000, 4) + "-" +
                       q.kind + kExtension;
    while (platform::fileExists(folder_ + name)) name.insert(name.size() - 6, "x");
    if (platform::replaceFile(folder_ + name, fileText(q))) return false;

    std::vector<std::string> all = names();
    int excess = static_cast<int>(all.size()) - kOutboxLimit;
    for (const std::string& old : all) {
        if (excess <= 0) break;
        const char kind = old.size() > 5 ? old[old.size() - 5] : 'F';
        if (kind == 'F' || old == name) continue;
        remove(old);
        dropped.push_back(old);
        --excess;
    }
    return true;
}

std::vector<std::string> Outbox::names() const {
    std::vector<std::string> list;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(platform::fsPath(folder_), ec)) {
        const std::string name = platform::fromFsPath(entry.path().filename());
        if (name.size() > 4 && name.substr(name.size() - 4) == kExtension) list.push_back(name);
    }
    std::sort(list.begin(), list.end());
    return list;
}

std::optional<Queued> Outbox::read(const std::string& name) const {
    const std::optional<std::string> text = platform::readFile(folder_ + name);
    if (!text) return std::nullopt;
    Queued q;
    q.name = name;
    q.kind = name.size() > 5 ? name[name.size() - 5] : 'F';
    size_t at = 0;
    q.from = headLine(*text, "DE: ", at);
    std::string one;
    for (char c : headLine(*text, "PARA: ", at) + ";") {
        if (c != ';') one += c;
        else if (!trim(one).empty()) q.to.push_back(trim(std::exchange(one, {})));
    }
    q.subject = headLine(*text, "ASSUNTO: ", at);
    if (text->compare(at, 2, "\r\n") != 0 || q.from.empty() || q.to.empty()) return std::nullopt;
    q.message = text->substr(at + 2);
    return q;
}

void Outbox::remove(const std::string& name) { platform::removeFile(folder_ + name); }

std::vector<std::string> Outbox::finishInterrupted() {
    std::vector<std::string> told, temps;
    std::vector<platform::FolderEntry> entries;
    if (platform::listFolder(platform::fsPath(folder_), entries)) return told;   // no outbox yet
    for (const platform::FolderEntry& entry : entries)
        if (!entry.folder && entry.name.find(kTempMark) != std::string::npos) temps.push_back(entry.name);
    std::error_code ec;
    std::sort(temps.begin(), temps.end());
    for (const std::string& temp : temps) {
        const std::string target = temp.substr(0, temp.find(kTempMark) + 4);
        // The message itself is there: the temporary is what its save left over.
        if (platform::fileExists(folder_ + target)) {
            remove(temp);
            continue;
        }
        const std::optional<Queued> q = read(temp);
        const std::optional<std::string> body = q ? bodyOf(q->message) : std::nullopt;
        const bool whole = body && letterWhole(*body);
        const std::string kept = whole ? target : target + ".incompleto";
        std::filesystem::rename(platform::fsPath(folder_ + temp), platform::fsPath(folder_ + kept), ec);
        if (ec) continue;   // tried again at the next start
        told.push_back(whole ? "Mensagem interrompida ao ser gravada, recuperada para envio: " + q->subject
                             : "Mensagem interrompida ao ser gravada, incompleta: não será enviada (guardada como " +
                                   folder_ + kept + ")");
    }
    return told;
}

}  // namespace tarvex::mail
