#pragma once
// The copies a batch line makes, read back from the line so that a batch's copy
// is proven as the folder and file copies are: every file must be at its
// destination. Only lines whose arguments read plainly are taken.
#include <optional>
#include <string>

namespace tarvex::exec {

struct BatchCopy {
    std::string from;        // a folder, a file or a mask, as written
    std::string to;          // the destination folder, as written
    bool wholeTree = false;  // the folder's sub-folders too (XCOPY /S or /E)
    bool hidden = false;     // hidden and system files are copied too (XCOPY /H)
    bool copyCommand = false;   // COPY: a folder source means its own files only
};

// The copy of an XCOPY or COPY line with one absolute source, one absolute
// destination and switches that copy everything named; nothing for any other
// line (variables, redirections, "+", relative paths, /U, /T, /EXCLUDE, ...).
// "%%" in the line, as the builders write a "%", stands for one "%".
std::optional<BatchCopy> plainCopyOf(const std::string& line);

}  // namespace tarvex::exec
