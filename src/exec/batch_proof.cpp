// A batch's exit code says its copy lines ended well, not that the files are
// there: each copy line read plainly is checked as the folder and file copies are.
#include "exec/batch_copies.h"
#include "exec/executor.h"
#include "lib/routines.h"
#include "platform/files.h"

namespace tarvex::exec {

namespace {

std::string withoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

bool Executor::batchCopiesProven(int row, std::optional<std::size_t>& checked) {
    for (const std::string& line : textLines(state_.batchText)) {
        const std::optional<BatchCopy> copy = plainCopyOf(line);
        if (!copy) continue;
        const std::string to = withoutTrailingBackslash(copy->to);
        if (!platform::dirExists(to)) continue;   // copied to a file name: nothing to compare by name
        std::string from = withoutTrailingBackslash(copy->from);
        // A folder without /S or /E gives only its own files.
        if (platform::dirExists(from) && (copy->copyCommand || !copy->wholeTree)) from += "\\*";
        const platform::CopyCheck check = services_.shell.checkCopy(from, to, copy->hidden);
        // A source that cannot be read or names nothing was judged by the line's own exit code.
        if (!check.failure.empty() || check.files + check.missingCount == 0) continue;
        if (!judged(row, to, check, checked)) return false;
    }
    return true;
}

}  // namespace tarvex::exec
