// The timer's listener walk on a clock the test controls: start, periods with carry-over,
// counter wrap-around, states, removal and additions from inside callbacks, and a zero period.
#include "app/Application.h"
#include "app/Timer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Other test programs share the build's working directory and its pelmora.log: run in a
// directory of this program's own.
const bool inOwnDirectory = [] {
    std::filesystem::create_directories("timer_test.run");
    std::filesystem::current_path("timer_test.run");
    return true;
}();

class ManualTimer : public TimerBase {
public:
    bool isNull() const override { return false; }
    uint32_t now() override { return clock; }
    uint32_t clock = 0;
};

// Appends "<name>:<count>" to a shared trace at every callback.
class Recorder : public TimerListener {
public:
    Recorder(const char* name_, std::vector<std::string>& trace_, uint32_t period_ = 1000)
        : name(name_), trace(trace_) {
        period = period_;
    }
    ~Recorder() override {
        if (destroyed)
            *destroyed = true;
    }
    void onTimer(uint32_t count) override {
        trace.push_back(name + ":" + std::to_string(count));
        if (action)
            action(*this);
    }

    std::string name;
    std::vector<std::string>& trace;
    bool* destroyed = nullptr;
    void (*action)(Recorder&) = nullptr;
    void* extra = nullptr;
};

using Trace = std::vector<std::string>;

} // namespace

TEST(TimerPeriods, StartsAtOnceThenCountsWholePeriodsWithCarry) {
    ManualTimer timer;
    Trace trace;
    Recorder r("r", trace);
    timer.clock = 5000;
    timer.addListener(&r);
    timer.clock = 5010;
    timer.update();
    EXPECT_EQ(trace, Trace({"r:1"}));
    EXPECT_EQ(r.startTime, 5010u);
    EXPECT_EQ(r.state, TimerListener::ListenerRunning);
    timer.clock = 6010; // exactly one period: not yet due
    timer.update();
    EXPECT_EQ(trace.size(), 1u);
    timer.clock = 6011;
    timer.update();
    EXPECT_EQ(r.startTime, 6010u);
    timer.clock = 9500;
    timer.update();
    EXPECT_EQ(trace, Trace({"r:1", "r:1", "r:3"}));
    EXPECT_EQ(r.startTime, 9010u);
}

TEST(TimerPeriods, CounterWrapKeepsElapsedTimeRight) {
    ManualTimer timer;
    Trace trace;
    Recorder r("r", trace, 100);
    timer.clock = 4294967200u;
    timer.addListener(&r);
    timer.update();
    timer.clock = 250; // 4294967296 - 4294967200 + 250 = 346 ms later
    timer.update();
    EXPECT_EQ(trace, Trace({"r:1", "r:3"}));
    EXPECT_EQ(r.startTime, 4294967200u + 300u);
}

TEST(TimerPeriods, ZeroPeriodIsNeverDueAndDoesNotCrash) {
    ManualTimer timer;
    Trace trace;
    Recorder r("r", trace, 0);
    timer.addListener(&r);
    timer.update();
    timer.clock = 100000;
    timer.update();
    EXPECT_EQ(trace, Trace({"r:1"}));
    r.period = 10;
    timer.update();
    EXPECT_EQ(trace, Trace({"r:1", "r:10000"}));
}

TEST(TimerList, AddingTwiceKeepsOneEntryMovedToTheEnd) {
    ManualTimer timer;
    Trace trace;
    Recorder a("a", trace), b("b", trace);
    timer.addListener(&a);
    timer.addListener(&b);
    timer.addListener(&a);
    EXPECT_EQ(timer.listenerCount(), 2);
    timer.update();
    EXPECT_EQ(trace, Trace({"b:1", "a:1"}));
}

TEST(TimerList, DestroyedListenerLeavesAtOnce) {
    ManualTimer timer;
    Trace trace;
    Recorder keep("keep", trace);
    {
        Recorder gone("gone", trace);
        timer.addListener(&gone);
        timer.addListener(&keep);
        EXPECT_EQ(timer.listenerCount(), 2);
    }
    EXPECT_EQ(timer.listenerCount(), 1);
    timer.update();
    EXPECT_EQ(trace, Trace({"keep:1"}));
}

TEST(TimerStates, DetachLeavesAliveDeleteIsDeletedOtherStatesAreSkipped) {
    ManualTimer timer;
    Trace trace;
    Recorder detached("detached", trace), parked("parked", trace);
    bool deleted = false;
    Recorder* doomed = new Recorder("doomed", trace);
    doomed->destroyed = &deleted;
    timer.addListener(&detached);
    timer.addListener(doomed);
    timer.addListener(&parked);
    detached.state = TimerListener::ListenerDetach;
    doomed->state = TimerListener::ListenerDelete;
    parked.state = 2;
    timer.update();
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(deleted);
    EXPECT_EQ(timer.listenerCount(), 1);
    EXPECT_EQ(detached.state, TimerListener::ListenerDetach);
    timer.clock = 50000;
    timer.update();
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(parked.state, 2);
}

TEST(TimerCallbacks, ListenerAddedInsideACallbackStartsInTheSameUpdate) {
    ManualTimer timer;
    Trace trace;
    Recorder adder("adder", trace), late("late", trace);
    adder.extra = &timer;
    late.extra = nullptr;
    static Recorder* lateListener;
    lateListener = &late;
    adder.action = [](Recorder& self) {
        static_cast<ManualTimer*>(self.extra)->addListener(lateListener);
        self.action = nullptr;
    };
    timer.addListener(&adder);
    timer.update();
    EXPECT_EQ(trace, Trace({"adder:1", "late:1"}));
    EXPECT_EQ(late.state, TimerListener::ListenerRunning);
}

TEST(TimerCallbacks, ListenerThatAsksForDeletionInItsCallbackGoesInTheSameUpdate) {
    ManualTimer timer;
    Trace trace;
    bool deleted = false;
    Recorder* once = new Recorder("once", trace);
    once->destroyed = &deleted;
    once->action = [](Recorder& self) { self.state = TimerListener::ListenerDelete; };
    timer.addListener(once);
    timer.update();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(timer.listenerCount(), 0);
    EXPECT_EQ(trace, Trace({"once:1"}));
}

TEST(TimerCallbacks, DestroyingTheNextListenerFromACallbackIsSafe) {
    ManualTimer timer;
    Trace trace;
    Recorder killer("killer", trace);
    bool deleted = false;
    Recorder* victim = new Recorder("victim", trace);
    victim->destroyed = &deleted;
    killer.extra = victim;
    killer.action = [](Recorder& self) {
        delete static_cast<Recorder*>(self.extra);
        self.action = nullptr;
    };
    timer.addListener(&killer);
    timer.addListener(victim);
    timer.update();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(trace, Trace({"killer:1"}));
    EXPECT_EQ(timer.listenerCount(), 1);
}

TEST(TimerComponent, RealTimerIsTheLastComponentAndReadsTheClock) {
    Timer* timer = Timer::instance();
    EXPECT_EQ(timer, Timer::instance());
    EXPECT_FALSE(timer->isNull());
    const std::vector<ApplicationComponent*>& components = Application::instance()->components;
    ASSERT_FALSE(components.empty());
    EXPECT_EQ(components.back(), static_cast<ApplicationComponent*>(timer));
    const uint32_t before = timeGetTime();
    const uint32_t reading = timer->now();
    EXPECT_LE(reading - before, 1000u);

    Trace trace;
    {
        Recorder r("r", trace);
        timer->addListener(&r);
        timer->onFrame();
        EXPECT_EQ(trace, Trace({"r:1"}));
    }
    // The destroyed listener left the real timer too: another frame must not reach it.
    timer->onFrame();
    EXPECT_EQ(trace.size(), 1u);
}
