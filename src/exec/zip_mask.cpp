// File-name masks as Windows matches them: '*' any run, '?' one character,
// letters compared without case in Windows-1252.
#include "exec/zip_task.h"

#include "lib/text1252.h"

namespace tarvex::exec {

namespace {

bool same(char a, char b) {
    return upper1252(static_cast<unsigned char>(a)) == upper1252(static_cast<unsigned char>(b));
}

// Classic wildcard match with one backtrack point for the last '*'.
bool glob(const std::string& mask, const std::string& name) {
    size_t m = 0, n = 0, starM = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || (mask[m] != '*' && same(mask[m], name[n])))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace

bool maskMatches(const std::string& mask, const std::string& fileName) {
    if (glob(mask, fileName)) return true;
    // Windows lets "NAME.*" (and so "*.*") match a name without any extension.
    if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0)
        return fileName.find('.') == std::string::npos && glob(mask.substr(0, mask.size() - 2), fileName);
    return false;
}

}  // namespace tarvex::exec
