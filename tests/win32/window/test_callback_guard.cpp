// What a control's action throws stops at the procedure Windows called: it is
// logged and shown, and the call into Windows returns normally.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "test_ui_host.h"
#include "testkit/operator.h"
#include "win32/callback_guard.h"
#include "win32/support/test_ui_driver.h"

namespace tarvex::testui {
namespace {

class CallbackGuard : public ::testing::Test {
protected:
    void SetUp() override {
        setFaultLog([this](const std::string& text) { logged.push_back(text); });
    }
    void TearDown() override { setFaultLog(nullptr); }
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope{op};
    std::vector<std::string> logged;
    HostFrame frame;
};

TEST_F(CallbackGuard, AClickWhoseActionThrowsReturnsToWindows) {
    ui::Button model{"BU_FALHA"};
    model.onClick = [] { throw std::runtime_error("sem disco"); };
    ButtonView view(model, frame.hwnd(), 10, 10, 80, 24);
    SendMessageW(view.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(logged, std::vector<std::string>{"sem disco"});
    EXPECT_EQ(op.errors(), std::vector<std::string>{"sem disco"});
    SendMessageW(view.hwnd(), BM_CLICK, 0, 0);   // and the window still works
    EXPECT_EQ(logged.size(), 2u);
}

TEST_F(CallbackGuard, ATimerWhoseActionThrowsLetsTheLoopGoOn) {
    ui::Timer model{"TIMER1"};
    int ticks = 0;
    model.onTimer = [&] {
        if (++ticks == 1) throw std::logic_error("'25:00:00' is not a valid time");
    };
    TimerView view(model, 7);
    model.setInterval(20);
    model.setTimerEnabled(true);
    EXPECT_TRUE(waitFor([&] { return ticks >= 3; }));
    EXPECT_EQ(logged, std::vector<std::string>{"'25:00:00' is not a valid time"});
    EXPECT_EQ(op.errors().size(), 1u);
}

TEST_F(CallbackGuard, AFaultWhileTheBoxOfAnotherIsOpenIsLoggedOnly) {
    ui::Button model{"BU_FALHA"};
    model.onClick = [] { throw std::runtime_error("falha"); };
    ButtonView view(model, frame.hwnd(), 10, 10, 80, 24);
    op.onBox = [&] {
        op.onBox = nullptr;
        SendMessageW(view.hwnd(), BM_CLICK, 0, 0);
    };
    SendMessageW(view.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(logged.size(), 2u);
    EXPECT_EQ(op.errors().size(), 1u);
}

}  // namespace
}  // namespace tarvex::testui
