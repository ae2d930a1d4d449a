// The PC's own events on the virtual clock: a sleep over a task's hour, the clock
// set back an hour, a sleep over midnight. No task runs twice and none is lost.
#include "app/form_fixture.h"

namespace tarvex::testing {
namespace {

const char* const COPY = "00 - XCOPY - Copia Arq.";
const char* const DAILY = "01 - Todos os Dias";

class PcEvents : public FormTest {};

TEST_F(PcEvents, ResumeAndClockChangesRunEachMissedTaskOnce) {
    start({{1, "A", COPY, DAILY, "08:00"}, {2, "B", COPY, DAILY, "12:00"}});
    clock.set(at(2026, 12, 9, 13, 0, 0));   // asleep from 07:00 to 13:00
    form->systemResumed();
    host.runUntil(at(2026, 12, 9, 13, 10, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 13:00:10 A", "09/12/26 13:02:20 B"}));

    clock.set(at(2026, 12, 9, 12, 0, 0));   // the clock corrected back an hour
    form->clockChanged();
    host.runUntil(at(2026, 12, 9, 23, 0, 0));
    EXPECT_EQ(runner->runs.size(), 2u);

    clock.set(at(2026, 12, 10, 9, 0, 0));   // asleep over midnight
    form->systemResumed();
    host.runUntil(at(2026, 12, 10, 12, 5, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 13:00:10 A", "09/12/26 13:02:20 B",
                                                       "10/12/26 09:00:10 A", "10/12/26 12:00:00 B"}));
}

TEST_F(PcEvents, WindowsMayEndTheSessionUnlessATaskRuns) {
    start({{1, "A", COPY, DAILY, "08:00"}});
    bool mayEndDuringRun = true;
    std::vector<std::string> busy;
    form->onBusy = [&](const std::string& reason) { busy.push_back(reason); };
    runner->during = [&](int) { mayEndDuringRun = form->sessionMayEnd(); };
    host.runUntil(at(2026, 12, 9, 8, 5, 0));
    EXPECT_FALSE(mayEndDuringRun);
    EXPECT_TRUE(form->sessionMayEnd());
    EXPECT_EQ(busy, (std::vector<std::string>{"TARVEX: executando A", ""}));
    form->sessionEnding();
    EXPECT_TRUE(op.questions().empty());
    const std::string log = dir.read("LOG_TIMER.TXT");
    EXPECT_NE(log.find("#TER#Close TARVEX#"), std::string::npos);
}

}  // namespace
}  // namespace tarvex::testing
