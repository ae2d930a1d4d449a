#pragma once
// A fixed clock installed as the process clock for the life of the scope.
#include "platform/clock.h"

namespace tarvex::testkit {

inline LocalTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    LocalTime t;
    t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s, t.millisecond = ms;
    return t;
}

class ClockScope {
public:
    explicit ClockScope(LocalTime t = at(2026, 12, 6, 8, 0, 0)) : clock_(t) { platform::setClock(&clock_); }
    ~ClockScope() { platform::setClock(nullptr); }
    ClockScope(const ClockScope&) = delete;
    ClockScope& operator=(const ClockScope&) = delete;

    void set(LocalTime t) { clock_.set(t); }
    void setTime(int h, int m, int s) {
        LocalTime t = clock_.now();
        t.hour = h, t.minute = m, t.second = s;
        clock_.set(t);
    }
    platform::FixedClock& clock() { return clock_; }

private:
    platform::FixedClock clock_;
};

}  // namespace tarvex::testkit
