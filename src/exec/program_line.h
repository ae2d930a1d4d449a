#pragma once
// A type-03 task's line: the program and its parameters.
#include <string>

namespace tarvex::exec {

struct ProgramLine {
    std::string program;
    std::string params;
};

// A quoted program is taken whole; otherwise the whole line when it names an
// existing file ("C:\Program Files\Meu App\bloco.exe"); otherwise the first blank
// separates program and parameters.
ProgramLine splitProgramLine(const std::string& line);

}  // namespace tarvex::exec
