#pragma once
// The checks a task's cells must pass before the editor saves them: no text that
// would break a row of the task file or a line of the log, and nothing the
// command interpreter would read as something else.
#include <string>
#include <utility>
#include <vector>

namespace tarvex::exec {

// Why the cells (column, text) of a task cannot be saved, in the operator's
// words, naming the character; empty when they can.
std::string rowRefusal(const std::vector<std::pair<int, std::string>>& cells);

}  // namespace tarvex::exec
