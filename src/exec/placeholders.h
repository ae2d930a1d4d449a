#pragma once
// expandPlaceholders: fills in the day, pen-drive and suffix placeholders of a task field at
// run time, then tidies doubled backslashes and runs of spaces.
#include <string>

#include "lib/run_context.h"

namespace tarvex::exec {

std::string expandPlaceholders(const RunContext& context, const std::string& text);
// expandPlaceholders for command text run by cmd: each value is put in as one argument
// (putInBatch). Throws BatchRefused when a value cannot stand where it lands.
std::string expandBatchPlaceholders(const RunContext& context, const std::string& text);

}  // namespace tarvex::exec
