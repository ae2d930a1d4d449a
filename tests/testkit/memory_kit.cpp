#include "testkit/memory_kit.h"

#include <algorithm>

#include "lib/datetime.h"

namespace tarvex::testkit {

namespace {
constexpr VirtualMs kDayMs = 86'400'000;
// Message timers never fire faster than this, whatever interval they were given.
constexpr VirtualMs kMinIntervalMs = 10;
}  // namespace

VirtualMs toVirtualMs(const LocalTime& t) {
    VirtualMs days = daysFromCivil(Date{t.year, t.month, t.day});
    return days * kDayMs + ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

LocalTime fromVirtualMs(VirtualMs ms) {
    VirtualMs days = ms / kDayMs, rest = ms % kDayMs;
    if (rest < 0) { rest += kDayMs; --days; }
    Date d = civilFromDays(static_cast<long>(days));
    LocalTime t;
    t.year = d.year; t.month = d.month; t.day = d.day;
    t.hour = static_cast<int>(rest / 3'600'000);
    t.minute = static_cast<int>(rest / 60'000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

// ---- VirtualClock ------------------------------------------------------------------

VirtualClock::VirtualClock(const LocalTime& start) : ms_(toVirtualMs(start)) {}

VirtualClock::~VirtualClock() { uninstall(); }

void VirtualClock::setMs(VirtualMs ms) {
    if (beforeMove) beforeMove();
    ms_ = ms;
}

void VirtualClock::install() {
    platform::setClock(this);
    installed_ = true;
}

void VirtualClock::uninstall() {
    if (installed_ && &platform::clock() == this) platform::setClock(nullptr);
    installed_ = false;
}

// ---- TimerHost ---------------------------------------------------------------------

TimerHost::TimerHost(VirtualClock& clock) : clock_(clock) {
    clock_.beforeMove = [this] { look(); };
}

TimerHost::~TimerHost() { clock_.beforeMove = nullptr; }

void TimerHost::watch(ui::Timer& timer) {
    // Start from a generation the timer cannot have, so its state is taken now.
    slots_.push_back(Slot{&timer, timer.generation() - 1, false, 0, 0, false});
    look(slots_.back());
}

void TimerHost::unwatch(ui::Timer& timer) {
    for (auto& s : slots_)
        if (s.timer == &timer) { s.timer = nullptr; s.armed = false; }
}

// Any change since the last look restarts the count from the present moment; the
// clock calls this before it moves, so a change is timed when it was made.
void TimerHost::look(Slot& s) {
    if (!s.timer || s.timer->generation() == s.generation) return;
    s.generation = s.timer->generation();
    s.armed = s.timer->isEnabled() && s.timer->interval() > 0;
    if (s.armed) s.due = s.phase = clock_.ms() + std::max<VirtualMs>(s.timer->interval(), kMinIntervalMs);
}

void TimerHost::look() {
    for (auto& s : slots_) look(s);
}

std::optional<VirtualMs> TimerHost::dueAt(const ui::Timer& timer) {
    look();
    for (auto& s : slots_)
        if (s.timer == &timer && s.armed) return s.due;
    return std::nullopt;
}

TimerHost::Slot* TimerHost::earliest(VirtualMs limit, const std::vector<Slot*>& skip) {
    Slot* best = nullptr;
    for (auto& s : slots_) {
        if (!s.timer || !s.armed || s.busy || s.due > limit) continue;
        if (std::find(skip.begin(), skip.end(), &s) != skip.end()) continue;
        if (!best || s.due < best->due) best = &s;
    }
    return best;
}

void TimerHost::fire(Slot& s) {
    const VirtualMs base = s.phase, started = clock_.ms();
    const unsigned generation = s.generation;
    s.busy = true;
    s.timer->fire();
    s.busy = false;
    look();
    if (!s.timer || !s.armed || s.generation != generation) return;
    // Untouched by its handler, the timer keeps its period. Periods that ended while
    // it waited to be dispatched are lost; one that ended during its own handler
    // leaves a message waiting, as with a real timer.
    const VirtualMs period = std::max<VirtualMs>(s.timer->interval(), kMinIntervalMs);
    VirtualMs next = base + period;
    if (next <= started) next += ((started - next) / period + 1) * period;
    if (next > clock_.ms()) {
        s.due = s.phase = next;
    } else {
        s.due = clock_.ms();
        s.phase = next + (clock_.ms() - next) / period * period;
    }
}

void TimerHost::advance(VirtualMs ms) {
    look();
    const VirtualMs target = clock_.ms() + std::max<VirtualMs>(ms, 0);
    while (Slot* s = earliest(target, {})) {
        if (s->due > clock_.ms()) clock_.setMs(s->due);
        fire(*s);
    }
    if (clock_.ms() < target) clock_.setMs(target);
}

void TimerHost::runUntil(const LocalTime& t) {
    VirtualMs target = toVirtualMs(t);
    if (target > clock_.ms()) advance(target - clock_.ms());
}

void TimerHost::processMessages() {
    look();
    std::vector<Slot*> done;
    while (Slot* s = earliest(clock_.ms(), done)) {
        done.push_back(s);
        fire(*s);
    }
}

}  // namespace tarvex::testkit
