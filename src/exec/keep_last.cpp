#include "exec/keep_last.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <utility>

#include "platform/files.h"
#include "platform/files_long.h"

namespace fs = std::filesystem;

namespace tarvex::exec {

namespace {

struct Placeholder {
    const char* name;
    const char* fits;   // what it expands to, as a regular expression
};
const Placeholder kDated[] = {{"[DIA]", "[0-9]{2}"}, {"[MES]", "[0-9]{2}"}, {"[ANO]", "[0-9]{2,4}"},
                              {"[SEMANA]", "[^\\\\/.]+"}};

// `tail` is a regular expression that follows the pattern's.
std::regex matcher(const std::string& pattern, const std::string& tail = "") {
    std::string re;
    for (size_t i = 0; i < pattern.size();) {
        const Placeholder* hit = nullptr;
        for (const Placeholder& p : kDated)
            if (pattern.compare(i, std::char_traits<char>::length(p.name), p.name) == 0) hit = &p;
        if (hit) {
            re += hit->fits;
            i += std::char_traits<char>::length(hit->name);
            continue;
        }
        const char c = pattern[i++];
        if (std::string(".^$|()[]{}*+?\\").find(c) != std::string::npos) re += '\\';
        re += c;
    }
    return std::regex(re + tail, std::regex::icase | std::regex::ECMAScript);
}

}  // namespace

DatedNames::DatedNames(const std::string& pattern) : names_(matcher(pattern)) {}

bool DatedNames::fits(const std::string& fileName) const { return std::regex_match(fileName, names_); }

bool hasDatePlaceholder(const std::string& pattern) {
    return std::any_of(std::begin(kDated), std::end(kDated),
                       [&](const Placeholder& p) { return pattern.find(p.name) != std::string::npos; });
}

std::vector<std::string> keepNewest(const std::string& folder, const std::string& pattern, int keep) {
    std::vector<std::string> deleted;
    if (keep <= 0 || !hasDatePlaceholder(pattern)) return deleted;
    const std::regex fits = matcher(pattern);
    std::vector<platform::FolderEntry> entries;
    if (platform::listFolder(platform::fsPath(folder), entries)) return deleted;
    std::vector<const platform::FolderEntry*> found;
    for (const platform::FolderEntry& e : entries)
        if (!e.folder && std::regex_match(e.name, fits)) found.push_back(&e);
    // Newest first; archives of the same second by name, the later name first.
    std::sort(found.begin(), found.end(), [](const auto* a, const auto* b) {
        return a->modified != b->modified ? a->modified > b->modified : a->name > b->name;
    });
    for (size_t i = static_cast<size_t>(keep); i < found.size(); ++i) {
        if (platform::removeFile(platform::inFolder(folder, found[i]->name))) deleted.push_back(found[i]->name);
    }
    return deleted;
}

std::vector<std::string> removeLeftovers(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> deleted;
    const std::regex fits = matcher(pattern, "\\.tmp~(\\.[^\\\\/]+)?");
    std::vector<platform::FolderEntry> entries;
    if (platform::listFolder(platform::fsPath(folder), entries)) return deleted;
    for (const platform::FolderEntry& e : entries) {
        if (e.folder || !std::regex_match(e.name, fits)) continue;
        if (platform::removeFile(platform::inFolder(folder, e.name))) deleted.push_back(e.name);
    }
    return deleted;
}

}  // namespace tarvex::exec
