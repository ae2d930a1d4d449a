#include "mail/message.h"

#include "lib/routines.h"
#include "platform/cp1252.h"

namespace tarvex::mail {

namespace {

bool plainAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x7F || (static_cast<unsigned char>(c) < 0x20)) return false;
    return true;
}

// Where a UTF-8 text may be cut: never inside a character.
size_t cutBefore(const std::string& utf8, size_t at) {
    while (at > 0 && at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) --at;
    return at;
}

std::string dateHeader(const LocalTime& t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // Sakamoto's weekday; the offset is not known to the clock, so "-0000" says so.
    static const int kShift[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = t.month < 3 ? t.year - 1 : t.year;
    const int weekday = (y + y / 4 - y / 100 + y / 400 + kShift[(t.month + 11) % 12] + t.day) % 7;
    return std::string(kDays[weekday]) + ", " + std::to_string(t.day) + " " + kMonths[(t.month + 11) % 12] + " " +
           std::to_string(t.year) + " " + zeroPad(t.hour, 2) + ":" + zeroPad(t.minute, 2) + ":" +
           zeroPad(t.second, 2) + " -0000";
}

std::string joined(const std::vector<std::string>& list) {
    std::string out;
    for (const auto& a : list) out += (out.empty() ? "" : ", ") + a;
    return out;
}

}  // namespace

std::string base64(const std::string& bytes) {
    static const char* const kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(n >> 18) & 63];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
    }
    return out;
}

std::optional<std::string> bodyOf(const std::string& message) {
    const size_t start = message.find("\r\n\r\n");
    if (start == std::string::npos || message.size() < 2 || message.compare(message.size() - 2, 2, "\r\n") != 0)
        return std::nullopt;
    std::string text;   // the base64 characters, checked line by line
    bool shortLine = false;
    for (const std::string& line : textLines(message.substr(start + 4))) {
        if (line.empty()) continue;
        if (shortLine || line.size() > 76) return std::nullopt;   // only the last line may be short
        shortLine = line.size() < 76;
        text += line;
    }
    if (text.empty() || text.size() % 4 != 0) return std::nullopt;
    static const std::string kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            if (i + 2 < text.size()) return std::nullopt;
            continue;
        }
        const size_t digit = kDigits.find(text[i]);
        if (digit == std::string::npos) return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned>(digit);
        if ((count += 6) >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

std::string encodeHeader(const std::string& cp1252) {
    if (plainAscii(cp1252)) return cp1252;
    const std::string utf8 = platform::cp1252ToUtf8(cp1252);
    // 45 bytes make 60 characters of base64: each encoded word stays within a line.
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        size_t end = at + 45 >= utf8.size() ? utf8.size() : cutBefore(utf8, at + 45);
        if (end <= at) end = utf8.size();
        out += (out.empty() ? "" : "\r\n ") + std::string("=?UTF-8?B?") + base64(utf8.substr(at, end - at)) + "?=";
        at = end;
    }
    return out;
}

std::string composeMessage(const Letter& letter, const std::string& from, const std::vector<std::string>& to,
                           const LocalTime& when, const std::string& messageId) {
    std::string body;
    for (const std::string& line : textLines(letter.body)) body += line + "\r\n";
    const std::string encoded = base64(platform::cp1252ToUtf8(body));
    std::string message = "Date: " + dateHeader(when) + "\r\nFrom: " + from + "\r\nTo: " + joined(to) +
                          "\r\nSubject: " + encodeHeader(letter.subject) + "\r\nMessage-ID: <" + messageId +
                          ">\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                          "Content-Transfer-Encoding: base64\r\n\r\n";
    for (size_t at = 0; at < encoded.size(); at += 76) message += encoded.substr(at, 76) + "\r\n";
    return message;
}

}  // namespace tarvex::mail
