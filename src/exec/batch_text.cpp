#include "exec/batch_text.h"

#include <algorithm>
#include <cstring>

#include "exec/batch_lines.h"
#include "lib/routines.h"
#include "lib/text1252.h"

namespace tarvex::exec {

namespace {

// Outside quotes these end an argument or start other syntax.
constexpr const char* kSyntaxOutsideQuotes = "&|<>^(),;= \t!";

std::string doublePercent(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

// An odd number of quotes before `at` on its line: `at` is inside a quoted text.
bool insideQuotes(std::string_view text, size_t at) {
    const size_t newline = text.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t start = newline == std::string_view::npos || newline >= at ? 0 : newline + 1;
    size_t quotes = 0;
    for (size_t i = start; i < at; ++i) quotes += text[i] == '"';
    return quotes % 2 == 1;
}

}  // namespace

std::string putInBatch(const std::string& text, const std::string& placeholder, const std::string& value,
                       const std::string& what) {
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(placeholder, from)) != std::string::npos; from = at + placeholder.size()) {
        out.append(text, from, at - from);
        if (const char c = unsafeInBatch(value, insideQuotes(text, at)))
            throw BatchRefused(refusedCharacterText(c, what));
        out += doublePercent(value);
    }
    out.append(text, from);
    return out;
}

char unsafeInBatch(std::string_view value, bool quoted) {
    for (char c : value) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) return c;
        if (!quoted && std::strchr(kSyntaxOutsideQuotes, c)) return c;
    }
    return 0;
}

std::string refusedCharacterText(char c, const std::string& what) {
    const unsigned char u = static_cast<unsigned char>(c);
    const std::string shown = u < 0x20 ? "código " + std::to_string(u) : u == ' ' ? "espaço" : "\"" + std::string(1, c) + "\"";
    return what + " não pode ter o caractere " + shown + ": numa linha de comando ele mudaria o comando.";
}

std::string batchArgument(std::string_view value, const std::string& what) {
    if (const char c = unsafeInBatch(value, true)) throw BatchRefused(refusedCharacterText(c, what));
    return "\"" + doublePercent(value) + "\"";
}

std::string collapseBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '\\' || i + 1 >= text.size() || text[i + 1] != '\\') {
            out += text[i++];
            continue;
        }
        const bool opensNetworkPath = i == 0 || std::strchr("\r\n\" \t=", text[i - 1]) != nullptr;
        out += opensNetworkPath ? "\\\\" : "\\";
        i += 2;
    }
    return out;
}

std::string withoutArrows(const std::string& text) {
    const std::string arrow = " ===>> ";
    std::string out;
    size_t from = 0;
    for (size_t at = text.find(arrow); at != std::string::npos; at = text.find(arrow, at + 1)) {
        if (at < from || insideQuotes(text, at)) continue;
        out.append(text, from, at - from);
        out += ' ';
        from = at + arrow.size();
    }
    out.append(text, from);
    return out;
}

std::string unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

namespace {

// The operator's next command line judges this line's code itself.
bool judgedNext(const std::vector<std::string>& lines, size_t i) {
    while (++i < lines.size())
        if (!trim(lines[i]).empty() && !isCommentLine(lines[i])) return handlesErrorLevel(lines[i]);
    return false;
}

}  // namespace

BatchScript batchScript(const std::vector<std::string>& lines, const std::string& markFile) {
    BatchScript script;
    // A value with "!" stays a name even where delayed expansion is on by default.
    script.lines.push_back("@SETLOCAL DISABLEDELAYEDEXPANSION");
    const std::string mark = batchArgument(markFile, "A pasta do TARVEX");
    int depth = 0;         // open parentheses: inside a block the check could not give the line's own code
    bool continued = false;   // the line before ended with "^": this one is part of its command
    int commandLine = 0;   // 1-based line where the command being read began
    int failsFrom = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!continued) {
            if (commandOf(line) == "CHCP" || isCommentLine(line)) continue;
            commandLine = static_cast<int>(i + 1);
            failsFrom = depth == 0 && !handlesErrorLevel(line) && !judgedNext(lines, i) ? failsFromOf(line) : 0;
        }
        const std::string t = trim(line);
        continued = !t.empty() && t.back() == '^';
        depth = std::max(0, depth + blockDepthChange(line));
        // DEL keeps an earlier code where it sets none: it starts from 0.
        if (failsFrom && !continued && commandLine == static_cast<int>(i + 1) &&
            (commandOf(line) == "DEL" || commandOf(line) == "ERASE"))
            script.lines.push_back("(CALL )");
        script.lines.push_back(line);
        if (continued || depth > 0 || !failsFrom) continue;
        // Success leaves 0 behind: XCOPY's 1 or ROBOCOPY's 1 to 7 do not end the batch as a failure.
        script.lines.push_back("IF ERRORLEVEL " + std::to_string(failsFrom) + " (>" + mark + " ECHO " +
                               std::to_string(commandLine) + "& EXIT /B %ERRORLEVEL%) ELSE (CALL )");
        script.checkedLines.push_back(commandLine);
        failsFrom = 0;
    }
    return script;
}

std::optional<std::string> overlongLine(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].size() > kMaxCommandLine)
            return "A linha " + std::to_string(i + 1) + " do comando tem " + std::to_string(lines[i].size()) +
                   " caracteres; o interpretador de comandos aceita no máximo " + std::to_string(kMaxCommandLine) +
                   ": nada foi executado";
    return std::nullopt;
}

}  // namespace tarvex::exec
