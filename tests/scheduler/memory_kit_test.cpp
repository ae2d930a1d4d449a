// The in-memory kit's clock and timers: the simulations trust these.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/datetime.h"
#include "testkit/clock.h"
#include "lib/routines.h"
#include "testkit/memory_kit.h"

namespace tarvex::testkit {
namespace {

using ui::Timer;

std::string text(const LocalTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond);
    return buf;
}

TEST(VirtualTime, RoundTripsThroughMonthAndYearEndsAndLeapDays) {
    for (LocalTime t : {at(2024, 2, 29, 23, 59, 59, 999), at(2026, 12, 31, 0, 0, 0), at(1970, 1, 1),
                        at(1969, 12, 31, 12, 0, 0), at(2100, 3, 1, 6, 30, 0, 5)})
        EXPECT_EQ(text(fromVirtualMs(toVirtualMs(t))), text(t));
    EXPECT_EQ(toVirtualMs(at(2024, 3, 1)) - toVirtualMs(at(2024, 2, 28)), 2 * 86'400'000LL);
}

struct Fixture : ::testing::Test {
    VirtualClock clock{at(2026, 12, 6, 8, 0, 0)};
    TimerHost host{clock};
    Timer a{"A"}, b{"B"};
    std::vector<std::string> log;

    void SetUp() override {
        clock.install();
        host.watch(a);
        host.watch(b);
    }
    void stamp(const std::string& who) {
        LocalTime t = clock.now();
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s@%02d:%02d.%03d", who.c_str(), t.minute, t.second, t.millisecond);
        log.push_back(buf);
    }
    void arm(Timer& t, int ms) {
        t.setInterval(ms);
        t.setTimerEnabled(true);
    }
};

TEST_F(Fixture, InstalledClockIsWhatTheDateRoutinesSee) {
    EXPECT_EQ(formatDate(today()), "06/12/26");
    host.runUntil(at(2026, 12, 7, 0, 0, 1));
    EXPECT_EQ(formatDate(today()), "07/12/26");
    EXPECT_EQ(nowSeconds(), 1);
}

TEST_F(Fixture, TimersFireInTimeOrderAndKeepTheirPeriod) {
    a.onTimer = [&] { stamp("A"); };
    b.onTimer = [&] { stamp("B"); };
    arm(a, 300);
    arm(b, 400);
    host.advance(1200);
    EXPECT_EQ(log, (std::vector<std::string>{"A@00:00.300", "B@00:00.400", "A@00:00.600", "B@00:00.800",
                                            "A@00:00.900", "A@00:01.200", "B@00:01.200"}));
    EXPECT_EQ(text(clock.now()), "2026-12-06 08:00:01.200");
}

TEST_F(Fixture, DisabledOrZeroIntervalNeverFires) {
    a.onTimer = [&] { stamp("A"); };
    a.setInterval(100);
    b.onTimer = [&] { stamp("B"); };
    arm(b, 0);
    host.advance(60'000);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(host.dueAt(a));
}

TEST_F(Fixture, ChangeInsideAHandlerRestartsTheCountWhenItWasMade) {
    // A handler that disables itself, "works" for 5 s, then re-arms: the new count
    // starts after the work, as a real timer's would.
    a.onTimer = [&] {
        stamp("A");
        a.setTimerEnabled(false);
        clock.elapse(5000);
        arm(a, 2000);
    };
    arm(a, 1000);
    host.advance(10'500);
    EXPECT_EQ(log, (std::vector<std::string>{"A@00:01.000", "A@00:08.000"}));
}

TEST_F(Fixture, ChangeBeforeTheClockMovesIsTimedFromTheChange) {
    a.onTimer = [&] {
        stamp("A");
        a.setInterval(1000);   // restarts now, before the 5 s of work
        clock.elapse(5000);
    };
    arm(a, 1000);
    host.advance(6500);
    // Due at 2 s but the handler ran until 6 s: one late message, then the period.
    EXPECT_EQ(log, (std::vector<std::string>{"A@00:01.000", "A@00:06.000"}));
}

TEST_F(Fixture, LateTimerFiresOnceNotOncePerMissedInterval) {
    b.onTimer = [&] { stamp("B"); };
    a.onTimer = [&] {
        stamp("A");
        arm(b, 1000);
        clock.elapse(10'000);
    };
    arm(a, 60'000);
    host.advance(72'500);
    // B's periods ended ten times during A's handler: one B when A returns, then B
    // keeps its own phase.
    EXPECT_EQ(log, (std::vector<std::string>{"A@01:00.000", "B@01:10.000", "B@01:11.000", "B@01:12.000"}));
}

TEST_F(Fixture, HandlerOutlastingItsOwnPeriodLeavesOneMessageWaiting) {
    a.onTimer = [&] {
        stamp("A");
        if (log.size() == 1) clock.elapse(3500);
    };
    arm(a, 1000);
    host.advance(6000);
    EXPECT_EQ(log, (std::vector<std::string>{"A@00:01.000", "A@00:04.500", "A@00:05.000", "A@00:06.000"}));
}

TEST_F(Fixture, ProcessMessagesFiresDueTimersOnceWithoutReentering) {
    int depth = 0, maxDepth = 0;
    a.onTimer = [&] {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        stamp("A");
        clock.elapse(3000);
        host.processMessages();   // B is due; A is busy and must not run inside itself
        --depth;
    };
    b.onTimer = [&] { stamp("B"); };
    arm(a, 1000);
    arm(b, 2000);
    host.advance(1000);
    EXPECT_EQ(log, (std::vector<std::string>{"A@00:01.000", "B@00:04.000"}));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(text(clock.now()), "2026-12-06 08:00:04.000");
}

TEST_F(Fixture, TimerWatchedAfterItWasArmedCountsFromTheWatch) {
    Timer c{"C"};
    arm(c, 500);
    clock.elapse(10'000);
    host.watch(c);
    EXPECT_EQ(*host.dueAt(c), clock.ms() + 500);
    host.unwatch(c);
    EXPECT_FALSE(host.dueAt(c));
}

TEST_F(Fixture, AWeekOfMinuteTicksRunsThroughMidnights) {
    long long ticks = 0;
    std::vector<std::string> days;
    a.onTimer = [&] {
        ++ticks;
        std::string d = zeroPad(clock.now().day, 2);
        if (days.empty() || days.back() != d) days.push_back(d);
    };
    arm(a, 60'000);
    host.runUntil(at(2026, 12, 13, 8, 0, 0));
    EXPECT_EQ(ticks, 7 * 1440);
    EXPECT_EQ(days, (std::vector<std::string>{"06", "07", "08", "09", "10", "11", "12", "13"}));
}

}  // namespace
}  // namespace tarvex::testkit
