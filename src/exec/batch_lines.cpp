#include "exec/batch_lines.h"

#include <set>

#include "lib/routines.h"
#include "lib/text1252.h"

namespace tarvex::exec {

namespace {

std::string withoutAt(const std::string& line) {
    std::string t = trim(line);
    while (!t.empty() && t[0] == '@') t = trim(t.substr(1));
    return t;
}

// The interpreter's own word at the start ("ECHO." and "CD\" included), upper case.
std::string builtinWord(const std::string& t) { return upper1252(t.substr(0, t.find_first_of(" \t.,;=(/\\+:\""))); }

// Interpreter commands whose exit code tells nothing: IF and FOR run other
// commands whose codes are theirs (a FOR leaves only its last pass's), and MD
// ends with 1 on a folder that is already there, which is what the batch wants
// (RD likewise on one already gone).
const std::set<std::string> kNoCode = {"REM",   "ECHO",  "SET",    "SETLOCAL", "ENDLOCAL", "CD",    "CHDIR",
                                       "IF",    "FOR",   "GOTO",   "PAUSE",    "CLS",      "TITLE", "PUSHD",
                                       "POPD",  "EXIT",  "CHCP",   "COLOR",    "PROMPT",   "VER",   "SHIFT",
                                       "PATH",  "MD",    "MKDIR",  "RD",       "RMDIR",    "VERIFY", "BREAK",
                                       "VOL",   "TIMEOUT", ""};

}  // namespace

std::string commandOf(const std::string& line) {
    const std::string t = withoutAt(line);
    std::string first;
    if (!t.empty() && t[0] == '"') first = t.substr(1, t.find('"', 1) - 1);
    else first = t.substr(0, t.find_first_of(" \t"));
    first = upper1252(first.substr(first.find_last_of("\\/:") + 1));
    for (const char* ext : {".EXE", ".COM"})
        if (first.size() > 4 && first.compare(first.size() - 4, 4, ext) == 0) first.resize(first.size() - 4);
    return first;
}

bool isCommentLine(const std::string& line) {
    const std::string t = withoutAt(line);
    return t.rfind("::", 0) == 0 || t.rfind("//", 0) == 0 || builtinWord(t) == "REM";
}

int failsFromOf(const std::string& line) {
    const std::string t = withoutAt(line);
    if (t.empty() || t[0] == ':' || t[0] == '(' || t[0] == ')' || isCommentLine(t)) return 0;
    if (t[0] != '"' && kNoCode.count(builtinWord(t))) return 0;
    const std::string program = commandOf(t);
    if (program == "XCOPY") return 2;
    if (program == "ROBOCOPY") return 8;
    return 1;
}

bool handlesErrorLevel(const std::string& line) {
    const std::string t = withoutAt(line);
    if (builtinWord(t) == "IF" && upper1252(t).find("ERRORLEVEL") != std::string::npos) return true;
    bool quoted = false;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i] == '"') quoted = !quoted;
        else if (!quoted && t[i] == '|' && t[i + 1] == '|') return true;
    }
    return false;
}

int blockDepthChange(const std::string& line) {
    int change = 0;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && c == '(') ++change;
        else if (!quoted && c == ')') --change;
    }
    return change;
}

}  // namespace tarvex::exec
