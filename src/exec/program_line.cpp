#include "exec/program_line.h"

#include "exec/batch_text.h"
#include "exec/placeholders.h"
#include "lib/routines.h"
#include "lib/text1252.h"
#include "platform/files.h"

namespace tarvex::exec {

namespace {

// The shell hands a batch file to cmd, which reads its parameters as command text.
bool runByCmd(const std::string& program) {
    const std::string name = upper1252(program);
    return name.ends_with(".BAT") || name.ends_with(".CMD");
}

}  // namespace

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

ProgramLine programLine(const RunContext& context, const std::string& stored) {
    const std::string plain = expandPlaceholders(context, stored);
    // The only change putInBatch makes to a value it accepts is a doubled "%".
    const bool percent = expandBatchPlaceholders(context, stored) != plain;
    ProgramLine line = splitProgramLine(plain);
    if (percent && runByCmd(line.program))
        throw BatchRefused(refusedCharacterText('%', "O valor posto na linha do programa"));
    const std::size_t length = line.program.size() + 3 + line.params.size();   // the program quoted, a blank
    if (length > kLongestCommandLine)
        throw BatchRefused("A linha de comando do programa tem " + withThousands(length) +
                           " caracteres, além dos 8.191 que o Windows aceita");
    return line;
}

}  // namespace tarvex::exec
