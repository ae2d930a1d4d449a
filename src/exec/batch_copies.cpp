#include "exec/batch_copies.h"

#include <cstring>
#include <set>
#include <vector>

#include "exec/batch_lines.h"
#include "lib/routines.h"
#include "lib/text1252.h"

namespace tarvex::exec {

namespace {

// The arguments after the command word; nothing when one cannot be read plainly.
std::optional<std::vector<std::string>> plainArguments(const std::string& rest) {
    std::vector<std::string> args;
    for (size_t i = 0; i < rest.size();) {
        if (rest[i] == ' ' || rest[i] == '\t') { ++i; continue; }
        std::string arg;
        if (rest[i] == '"') {
            const size_t close = rest.find('"', i + 1);
            if (close == std::string::npos) return std::nullopt;
            arg = rest.substr(i + 1, close - i - 1);
            i = close + 1;
            if (i < rest.size() && rest[i] != ' ' && rest[i] != '\t') return std::nullopt;
        } else {
            const size_t end = rest.find_first_of(" \t", i);
            arg = rest.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? rest.size() : end;
            if (arg.find_first_of("&|<>^()\"+,;=") != std::string::npos) return std::nullopt;
        }
        std::string plain;   // "%%" is one "%"; a lone "%" is a variable
        for (size_t k = 0; k < arg.size(); ++k) {
            if (arg[k] != '%') { plain += arg[k]; continue; }
            if (k + 1 >= arg.size() || arg[k + 1] != '%') return std::nullopt;
            plain += '%';
            ++k;
        }
        args.push_back(plain);
    }
    return args;
}

bool absolute(const std::string& path) {
    return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

// Switches after which not every file named is copied, or a person is asked.
const std::set<std::string> kPartialXcopy = {"/A", "/M", "/U", "/T", "/L", "/P", "/W", "/N", "/-Y"};
const std::set<std::string> kPlainCopy = {"/Y", "/V", "/B", "/Z", "/D"};

}  // namespace

std::optional<BatchCopy> plainCopyOf(const std::string& line) {
    std::string t = trim(line);
    while (!t.empty() && t[0] == '@') t = trim(t.substr(1));
    const std::string command = commandOf(t);
    if (command != "XCOPY" && command != "COPY") return std::nullopt;
    const size_t space = t.find_first_of(" \t", t[0] == '"' ? t.find('"', 1) : 0);
    if (space == std::string::npos) return std::nullopt;
    const auto args = plainArguments(t.substr(space));
    if (!args) return std::nullopt;
    BatchCopy copy;
    copy.copyCommand = command == "COPY";
    std::vector<std::string> paths;
    for (const std::string& arg : *args) {
        if (arg.empty() || arg[0] != '/') {
            paths.push_back(arg);
            continue;
        }
        const std::string sw = upper1252(arg);
        if (copy.copyCommand) {
            if (!kPlainCopy.count(sw)) return std::nullopt;
        } else if (kPartialXcopy.count(sw) || sw.rfind("/D:", 0) == 0 || sw.rfind("/EXCLUDE", 0) == 0) {
            return std::nullopt;
        }
        if (sw == "/S" || sw == "/E") copy.wholeTree = !copy.copyCommand;
        if (sw == "/H") copy.hidden = !copy.copyCommand;
    }
    if (paths.size() != 2 || !absolute(paths[0]) || !absolute(paths[1])) return std::nullopt;
    copy.from = paths[0];
    copy.to = paths[1];
    return copy;
}

}  // namespace tarvex::exec
