#pragma once
// "Manter os últimos N": the archives a task made on earlier days, beyond the
// newest N, are deleted after a verified run.
#include <regex>
#include <string>
#include <vector>

namespace tarvex::exec {

// Whether a name pattern carries a placeholder that changes with the date
// ([DIA], [MES], [ANO], [SEMANA]); only such a task makes one archive a day.
bool hasDatePlaceholder(const std::string& pattern);

// The names a task's archive pattern gives on any day: its date placeholders
// stand for what they expand to, letters in any case.
class DatedNames {
public:
    explicit DatedNames(const std::string& pattern);
    bool fits(const std::string& fileName) const;

private:
    std::regex names_;
};

// Deletes, in `folder`, the files whose names fit `pattern` (its date
// placeholders standing for what they expand to, letters in any case), all but
// the `keep` newest; nothing when keep is 0 or the pattern has no date
// placeholder. Returns the names deleted.
std::vector<std::string> keepNewest(const std::string& folder, const std::string& pattern, int keep);

// Deletes, in `folder`, what a cut-short run of an archive fitting `pattern`
// left behind: its temporary ("<archive>.tmp~") and the library's temporary
// of that ("<archive>.tmp~.<letters>"). Returns the names deleted.
std::vector<std::string> removeLeftovers(const std::string& folder, const std::string& pattern);

}  // namespace tarvex::exec
