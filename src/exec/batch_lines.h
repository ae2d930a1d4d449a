#pragma once
// What one line of the operator's command text is to the batch written from it:
// a comment, a line that leaves no exit code worth judging, or a command whose
// exit code says whether it failed.
#include <string>

namespace tarvex::exec {

// The program a command line starts, upper case, without folder or ".EXE":
// `"C:\Program Files\FB\GBAK" -B ...` gives "GBAK".
std::string commandOf(const std::string& line);
// REM, "::" and "//" lines: nothing of them needs to reach the interpreter.
bool isCommentLine(const std::string& line);
// The exit code from which the line's command failed: XCOPY from 2 (1 is "nothing
// to copy"), ROBOCOPY from 8 (below it tells what was copied), any other program
// or copy command from 1; 0 for a line whose code means nothing (comments, ECHO,
// SET, CD, IF, FOR, GOTO, labels, MD and RD of a folder that is already as asked,
// TIMEOUT, which fails with no keyboard to read, ...).
int failsFromOf(const std::string& line);
// The operator's own handling of a code: an "IF ... ERRORLEVEL" line, or "||" after
// a command. The line before it, or the line itself, is left to the operator.
bool handlesErrorLevel(const std::string& line);
// Parentheses the line leaves open (negative: closed), quotes respected.
int blockDepthChange(const std::string& line);

}  // namespace tarvex::exec
