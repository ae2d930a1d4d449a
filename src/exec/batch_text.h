#pragma once
// Values in batch lines. Every path, suffix or pen letter that TARVEX itself puts
// into a line the command interpreter reads passes through here: it becomes one
// argument, never syntax. Only the command text the operator writes is command
// text.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex::exec {

// A value that cannot stand in a batch line; what() is the operator's message.
class BatchRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first character of `value` that cannot be part of one argument placed
// inside double quotes (quoted) or outside them; 0 when none. "%" is not one:
// it is doubled.
char unsafeInBatch(std::string_view value, bool quoted);
// `value` as one argument: in double quotes, "%" doubled so cmd reads no
// variable. Throws BatchRefused naming the character it cannot hold; `what`
// names the value for the operator ("A pasta de ORIGEM").
std::string batchArgument(std::string_view value, const std::string& what);
// The operator's message for a character refused in `what`.
std::string refusedCharacterText(char c, const std::string& what);

// "\\" becomes "\" (left to right, a pair at a time) except where the pair opens a
// network path: at the start of the text, of a line, of a quoted text or after a blank.
std::string collapseBackslashes(std::string_view text);
// The builders' arrow " ===>> " becomes one blank, except inside a quoted path.
std::string withoutArrows(const std::string& text);
// The text without one pair of double quotes around it.
std::string unquoted(std::string text);

// Every `placeholder` of `text` replaced by `value`, written the way batchArgument
// writes it for the place it lands in (inside quotes or not); `what` names the value.
std::string putInBatch(const std::string& text, const std::string& placeholder, const std::string& value,
                       const std::string& what);

// A generated batch: the lines to write and which of the operator's lines are checked.
struct BatchScript {
    std::vector<std::string> lines;
    std::vector<int> checkedLines;   // 1-based lines of the operator's text that are checked
};
// The operator's lines, each command whose exit code means something (see
// failsFromOf) followed by a check that ends the batch with that code when it is
// a failure, after writing the line's number (1-based, as the operator counts the
// text's lines) into `markFile`. Comments are left out, and so are "CHCP" lines:
// the batch is written in the console's own code page, and cmd would read the
// lines after a CHCP in another. Lines inside a multi-line block ("(" ... ")")
// are not checked: the block is read at once, so the code could not be its line's.
BatchScript batchScript(const std::vector<std::string>& lines, const std::string& markFile);

// Longest line the command interpreter runs.
inline constexpr size_t kMaxCommandLine = 8191;
// The operator's message for the first line longer than that; nothing when none.
std::optional<std::string> overlongLine(const std::vector<std::string>& lines);

}  // namespace tarvex::exec
