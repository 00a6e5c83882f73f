// The listener walk of the timer and the Timer component on the system's millisecond counter.
// Elapsed times are unsigned 32-bit differences, so the counter's wrap to 0 does no harm.
#include "app/Timer.h"

TimerBase::~TimerBase() {
    for (TimerListener* listener : listeners_)
        if (listener && listener->timer_ == this)
            listener->timer_ = nullptr;
}

void TimerBase::addListener(TimerListener* listener) {
    removeListener(listener);
    listeners_.push_back(listener);
    listener->timer_ = this;
}

void TimerBase::removeListener(TimerListener* listener) {
    bool found = false;
    for (TimerListener*& entry : listeners_) {
        if (entry == listener) {
            entry = nullptr;
            found = true;
        }
    }
    if (found && listener->timer_ == this)
        listener->timer_ = nullptr;
    compact();
}

void TimerBase::update() {
    purge();
    walking_ = true;
    // The list may grow from inside a callback; a std::list iterator stays valid while it does,
    // and entries removed meanwhile are only cleared, so the walk reaches appended listeners.
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        TimerListener* listener = *it;
        if (!listener)
            continue;
        const uint32_t t = now();
        if (listener->state == TimerListener::ListenerNew) {
            listener->startTime = t;
            listener->onTimer(1);
            // A listener that asked to leave from inside its first callback keeps that request.
            if (listener->state == TimerListener::ListenerNew)
                listener->state = TimerListener::ListenerRunning;
        } else if (listener->state == TimerListener::ListenerRunning) {
            // A period of 0 would divide by zero: such a listener is never due.
            if (listener->period == 0)
                continue;
            const uint32_t elapsed = t - listener->startTime;
            if (elapsed > listener->period) {
                const uint32_t count = elapsed / listener->period;
                listener->onTimer(count);
                listener->startTime += count * listener->period;
            }
        }
    }
    walking_ = false;
    purge();
}

void TimerBase::purge() {
    const bool wasWalking = walking_;
    walking_ = true;
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        TimerListener* listener = *it;
        if (!listener)
            continue;
        if (listener->state == TimerListener::ListenerDelete) {
            *it = nullptr;
            listener->timer_ = nullptr;
            delete listener;
        } else if (listener->state == TimerListener::ListenerDetach) {
            *it = nullptr;
            listener->timer_ = nullptr;
        }
    }
    walking_ = wasWalking;
    compact();
}

void TimerBase::compact() {
    if (!walking_)
        listeners_.remove(nullptr);
}

Timer* Timer::instance() {
    static Timer* timer = new Timer();
    return timer;
}

uint32_t Timer::now() {
    return timeGetTime();
}

void Timer::onFrame() {
    update();
}

bool Timer::onWindowCreated(HWND) {
    return false;
}
