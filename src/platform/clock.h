#pragma once
// Every "now" of the system comes from here, so tests can set the day and the hour.
#include <cstdint>

namespace tarvex {

struct LocalTime {
    int year = 2000, month = 1, day = 1;      // civil date
    int hour = 0, minute = 0, second = 0;     // time of day
    int millisecond = 0;
};

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

// The operating system's local time.
class SystemClock : public Clock {
public:
    LocalTime now() const override;
};

// A clock a test sets by hand.
class FixedClock : public Clock {
public:
    explicit FixedClock(LocalTime t = {}) : t_(t) {}
    LocalTime now() const override { return t_; }
    void set(LocalTime t) { t_ = t; }
private:
    LocalTime t_;
};

// The process-wide clock the routine library reads (system clock unless a test or
// the in-memory kit installs another).
Clock& clock();
void setClock(Clock* c);  // nullptr restores the system clock

}  // namespace platform
}  // namespace tarvex
