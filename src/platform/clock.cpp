#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace tarvex::platform {

LocalTime SystemClock::now() const {
    using namespace std::chrono;
    const auto tp = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(tp);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &secs);
#else
    localtime_r(&secs, &tm);
#endif
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(duration_cast<milliseconds>(tp.time_since_epoch()).count() % 1000);
    return t;
}

namespace {
SystemClock systemClock;
Clock* current = &systemClock;
}  // namespace

Clock& clock() { return *current; }

void setClock(Clock* c) { current = c ? c : &systemClock; }

}  // namespace tarvex::platform
