#pragma once
// expandPlaceholders: fills in the day, pen-drive and suffix placeholders of a task field at
// run time, then tidies doubled backslashes and runs of spaces.
#include <string>

#include "lib/run_context.h"

namespace tarvex::exec {

std::string expandPlaceholders(const RunContext& context, const std::string& text);

}  // namespace tarvex::exec
