#pragma once
// A type-03 task's line: the program and its parameters.
#include <cstddef>
#include <string>

#include "lib/run_context.h"

namespace tarvex::exec {

struct ProgramLine {
    std::string program;
    std::string params;
};

// The longest command line the command interpreter runs.
constexpr std::size_t kLongestCommandLine = 8191;

// A quoted program is taken whole; otherwise the whole line when it names an
// existing file ("C:\Program Files\Meu App\bloco.exe"); otherwise the first blank
// separates program and parameters.
ProgramLine splitProgramLine(const std::string& line);

// The task's "Executável" with its placeholders filled in. Each value put in must
// stand as one argument, as in a batch line (putInBatch): a value that would be
// syntax ("&", ">", a quote...) is refused, and so is a "%" where cmd reads the
// line (a .bat or .cmd), since there nothing can keep it a "%". A line longer than
// cmd takes is refused too. Throws BatchRefused with the operator's message.
ProgramLine programLine(const RunContext& context, const std::string& stored);

}  // namespace tarvex::exec
