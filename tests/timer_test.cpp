// The timer's listener walk on a clock the test controls: periods with carry-over, counter
// wrap-around, a zero period, states, and changes to the list from inside callbacks.
#include "app/Application.h"
#include "app/Timer.h"
#include "tests/support/RecordingPlatform.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Trace = std::vector<std::string>;

class ManualTimer : public TimerBase {
public:
    bool isNull() const override { return false; }
    uint32_t now() override { return clock; }
    void updateAt(uint32_t time) {
        clock = time;
        update();
    }
    uint32_t clock = 0;
};

// Appends "<name>:<count>" to a trace at every callback, then runs its action once.
class Recorder : public TimerListener {
public:
    Recorder(const char* name_, Trace& trace_, uint32_t period_ = 1000)
        : name(name_), trace(trace_) {
        period = period_;
    }
    ~Recorder() override {
        if (destroyed)
            *destroyed = true;
    }
    void onTimer(uint32_t count) override {
        trace.push_back(name + ":" + std::to_string(count));
        std::function<void(Recorder&)> once;
        once.swap(action);
        if (once)
            once(*this);
    }

    std::string name;
    Trace& trace;
    bool* destroyed = nullptr;
    std::function<void(Recorder&)> action;
};

// A timer on the test's clock and the trace its listeners write.
class TimerTest : public ::testing::Test {
protected:
    ManualTimer timer;
    Trace trace;
};
using TimerPeriods = TimerTest;
using TimerList = TimerTest;
using TimerStates = TimerTest;
using TimerCallbacks = TimerTest;

} // namespace

TEST_F(TimerPeriods, StartsAtOnceThenCountsWholePeriodsWithCarry) {
    Recorder r("r", trace);
    timer.clock = 5000;
    timer.addListener(&r);
    for (uint32_t t : {5010u, 6010u, 6011u})
        timer.updateAt(t);
    EXPECT_EQ(trace, Trace({"r:1", "r:1"}));
    EXPECT_EQ(r.startTime, 6010u);
    timer.updateAt(9500);
    EXPECT_EQ(trace, Trace({"r:1", "r:1", "r:3"}));
    EXPECT_EQ(r.startTime, 9010u);
}

// The first period straddles the wrap: its end, 100 ms after the start, lies past 0.
TEST_F(TimerPeriods, CounterWrapKeepsElapsedTimeRight) {
    Recorder r("r", trace, 100);
    timer.clock = 4294967200u;
    timer.addListener(&r);
    timer.update();
    timer.updateAt(4294967290u); // 90 ms later, just before the wrap
    timer.updateAt(3);           // 99 ms later, just after it
    EXPECT_EQ(trace, Trace({"r:1"}));
    timer.updateAt(250); // 346 ms later
    EXPECT_EQ(trace, Trace({"r:1", "r:3"}));
    EXPECT_EQ(r.startTime, 4294967200u + 300u);
}

TEST_F(TimerPeriods, ZeroPeriodIsNeverDueInsteadOfDividingByZero) {
    Recorder r("r", trace, 0);
    timer.addListener(&r);
    timer.update();
    timer.updateAt(100000);
    EXPECT_EQ(trace, Trace({"r:1"}));
    r.period = 10;
    timer.update();
    EXPECT_EQ(trace, Trace({"r:1", "r:10000"}));
}

TEST_F(TimerList, AddingTwiceMovesToTheEndAndDestructionLeavesAtOnce) {
    Recorder a("a", trace), b("b", trace);
    {
        Recorder gone("gone", trace);
        timer.addListener(&a);
        timer.addListener(&gone);
        timer.addListener(&b);
        timer.addListener(&a);
    }
    timer.update();
    EXPECT_EQ(trace, Trace({"b:1", "a:1"}));
}

TEST_F(TimerStates, DetachLeavesAliveDeleteIsDeletedOtherStatesAreSkipped) {
    Recorder detached("detached", trace), parked("parked", trace);
    bool deleted = false;
    Recorder* doomed = new Recorder("doomed", trace);
    doomed->destroyed = &deleted;
    for (Recorder* r : {&detached, doomed, &parked})
        timer.addListener(r);
    detached.state = TimerListener::ListenerDetach;
    doomed->state = TimerListener::ListenerDelete;
    parked.state = 2;
    timer.update();
    timer.updateAt(50000);
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(deleted);
    EXPECT_EQ(parked.state, 2);
    // Only the parked listener is still listed: started again, it alone is called.
    detached.state = TimerListener::ListenerNew;
    parked.state = TimerListener::ListenerNew;
    timer.update();
    EXPECT_EQ(trace, Trace({"parked:1"}));
}

TEST_F(TimerCallbacks, ListenerAddedInsideACallbackStartsInTheSameUpdate) {
    Recorder adder("adder", trace), late("late", trace);
    adder.action = [&](Recorder&) { timer.addListener(&late); };
    timer.addListener(&adder);
    timer.update();
    EXPECT_EQ(trace, Trace({"adder:1", "late:1"}));
}

TEST_F(TimerCallbacks, DeletionAskedForInTheFirstCallbackHappensInThatUpdate) {
    bool deleted = false;
    Recorder* once = new Recorder("once", trace);
    once->destroyed = &deleted;
    once->action = [](Recorder& self) { self.state = TimerListener::ListenerDelete; };
    timer.addListener(once);
    timer.update();
    EXPECT_TRUE(deleted);
    timer.updateAt(5000);
    EXPECT_EQ(trace, Trace({"once:1"}));
}

TEST_F(TimerCallbacks, DestroyingTheNextListenerFromACallbackIsSafe) {
    Recorder killer("killer", trace);
    Recorder* victim = new Recorder("victim", trace);
    killer.action = [victim](Recorder&) { delete victim; };
    timer.addListener(&killer);
    timer.addListener(victim);
    timer.update();
    EXPECT_EQ(trace, Trace({"killer:1"}));
    timer.updateAt(1500);
    EXPECT_EQ(trace, Trace({"killer:1", "killer:1"}));
}

TEST(TimerComponent, RealTimerIsAComponentOnTheSystemClock) {
    Timer* timer = Timer::instance();
    EXPECT_EQ(timer, Timer::instance());
    EXPECT_FALSE(timer->isNull());
    EXPECT_EQ(Application::instance()->components.back(),
              static_cast<ApplicationComponent*>(timer));
    recording::system().clock = 123456;
    EXPECT_EQ(timer->now(), 123456u);
    Trace trace;
    {
        Recorder r("r", trace);
        timer->addListener(&r);
        timer->onFrame();
    }
    // The destroyed listener left the real timer: another frame must not reach it.
    timer->onFrame();
    EXPECT_EQ(trace, Trace({"r:1"}));
}
