#pragma once
// The in-memory kit: a clock that tests move by hand and a host that fires the
// message timers from that clock.
// A whole day of scheduling runs in milliseconds on it.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "ui/controls.h"

namespace tarvex::testkit {

// A point on the virtual timeline: milliseconds since 01/01/1970 00:00, local time.
using VirtualMs = std::int64_t;
VirtualMs toVirtualMs(const LocalTime& t);
LocalTime fromVirtualMs(VirtualMs ms);

class VirtualClock : public platform::Clock {
public:
    explicit VirtualClock(const LocalTime& start);
    ~VirtualClock() override;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    LocalTime now() const override { return fromVirtualMs(ms_); }
    VirtualMs ms() const { return ms_; }
    // Moves the time, backwards too (as a clock change would). Timers do not fire
    // here; a task that "takes" some minutes calls elapse() from inside its run.
    void set(const LocalTime& t) { setMs(toVirtualMs(t)); }
    void setMs(VirtualMs ms);
    void elapse(VirtualMs ms) { setMs(ms_ + ms); }

    // Makes this the clock every "now" of the system reads.
    void install();
    void uninstall();

    // Told just before the time moves, so a timer host can take note of timer
    // changes at the moment they were made.
    std::function<void()> beforeMove;

private:
    VirtualMs ms_;
    bool installed_ = false;
};

// Fires ui::Timer objects from a VirtualClock the way message timers fire: a timer
// fires every `interval` ms while enabled; setting the interval or enabling restarts
// its count; a late timer fires once, not once per missed interval. The clock must
// outlive the host; the host never touches a timer outside its own calls, so timers
// may die first once unwatched.
class TimerHost {
public:
    explicit TimerHost(VirtualClock& clock);
    ~TimerHost();
    TimerHost(const TimerHost&) = delete;
    TimerHost& operator=(const TimerHost&) = delete;

    void watch(ui::Timer& timer);
    void unwatch(ui::Timer& timer);

    // Runs the clock forward, firing every timer that falls due, in time order
    // (equal times in the order the timers were watched).
    void advance(VirtualMs ms);
    void runUntil(const LocalTime& t);
    // Fires the timers already due without moving the clock, each at most once; a
    // timer whose handler is running is not entered again. Used for the nested
    // "let messages through" of a run.
    void processMessages();

    std::optional<VirtualMs> dueAt(const ui::Timer& timer);   // nullopt when not armed

private:
    struct Slot {
        ui::Timer* timer;
        unsigned generation;
        bool armed;
        VirtualMs due;     // when it fires next
        VirtualMs phase;   // the period end its schedule counts from
        bool busy;
    };
    void look();
    void look(Slot& s);
    Slot* earliest(VirtualMs limit, const std::vector<Slot*>& skip);
    void fire(Slot& s);

    VirtualClock& clock_;
    std::deque<Slot> slots_;
};

}  // namespace tarvex::testkit
