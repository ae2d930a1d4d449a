#include "exec/program_line.h"

#include "lib/routines.h"
#include "platform/files.h"

namespace tarvex::exec {

ProgramLine splitProgramLine(const std::string& line) {
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        if (close != std::string::npos)
            return {line.substr(1, close - 1), trim(line.substr(close + 1))};
    }
    const size_t blank = line.find(' ');
    if (blank == std::string::npos || platform::fileExists(line)) return {line, ""};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

}  // namespace tarvex::exec
