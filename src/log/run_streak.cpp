#include "log/run_streak.h"

#include <algorithm>

namespace tarvex::log {

Streak streakOf(const std::vector<RunRecord>& runs, const std::string& name, const Date& day) {
    Streak s;
    bool first = true;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if (it->name != name) continue;
        if (first) {
            s.lastFailed = !it->ok;
            if (!it->ok && it->day == day) s.lastEndSecond = it->hour + static_cast<int>(std::max<std::int64_t>(it->seconds, 0));
            first = false;
        }
        if (it->ok || !(it->day == day)) break;
        ++s.failuresToday;
    }
    return s;
}

}  // namespace tarvex::log
