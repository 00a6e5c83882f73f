// A periodic callback of the Timer: told, at the first frame after a period has run out, how
// many whole periods have passed since its last call.
#pragma once

#include <cstdint>

class TimerBase;

class TimerListener {
public:
    enum ListenerState : int32_t {
        ListenerNew = 0,     // started at the next update
        ListenerRunning = 1, // called back when more than one period has passed
        ListenerDetach = 3,  // dropped from the list at the next update, not deleted
        ListenerDelete = 4   // dropped and deleted by the timer at the next update
    };

    TimerListener() = default;
    // Leaves the timer it was added to, so that the timer never calls a dead listener.
    virtual ~TimerListener();

    TimerListener(const TimerListener&) = delete;
    TimerListener& operator=(const TimerListener&) = delete;

    virtual void onTimer(uint32_t count) = 0;

    uint32_t period = 0; // milliseconds; set by the owner before adding
    uint32_t startTime = 0;
    int32_t state = ListenerNew;

private:
    friend class TimerBase;
    // The timer that lists this listener, so that destruction reaches the right one even for a
    // timer other than Timer::instance.
    TimerBase* timer_ = nullptr;
};
