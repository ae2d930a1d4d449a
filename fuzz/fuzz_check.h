#pragma once
// What every fuzz target checks with: a broken promise stops the run as a crash.
#include <cstdlib>

namespace tarvex::fuzz {
inline void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace tarvex::fuzz
