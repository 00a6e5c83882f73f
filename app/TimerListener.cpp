// A timer listener leaves its timer when it is destroyed.
#include "app/TimerListener.h"

#include "app/Timer.h"

TimerListener::~TimerListener() {
    if (timer_)
        timer_->removeListener(this);
}
