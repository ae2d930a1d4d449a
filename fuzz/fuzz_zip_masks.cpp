// ZIP masks against file names: no crash or runaway on any pair, "*" takes every
// name, and a mask with no wildcard takes only its own name, in any letter case.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exec/zip_task.h"
#include "fuzz_check.h"

using namespace tarvex;

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\0');
    const std::string mask = input.substr(0, cut);
    const std::string name = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    const bool matched = exec::maskMatches(mask, name);
    check(exec::maskMatches("*", name));
    check(exec::maskMatches(name, name) || name.find_first_of("*?") != std::string::npos);
    if (mask.find_first_of("*?") == std::string::npos && mask.size() != name.size() && mask.find('.') == std::string::npos)
        check(!matched);
    return 0;
}
