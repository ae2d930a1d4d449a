#pragma once
// A file the program could not read is copied aside before anything can replace
// it, so the operator's data survives whatever the program does next.
#include <string>

#include "platform/clock.h"

namespace tarvex {

// The copy's name: the file's path, ".ilegivel-" and the moment, as
// "TARVEX_TAREFAS.TXT.ilegivel-20261209-070000".
std::string asideName(const std::string& path, const LocalTime& when);

// Copies `path` to its aside name (never over an earlier copy) and returns the
// copy's path; empty when the file could not be read or the copy not written.
std::string keepAside(const std::string& path, const LocalTime& when);
// The same for the file's bytes as they were read.
std::string keepAside(const std::string& path, const std::string& bytes, const LocalTime& when);

// The sentence that tells the operator where the copy is, or that none was made.
std::string asideNote(const std::string& copy);

}  // namespace tarvex
