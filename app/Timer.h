// The engine's millisecond clock and its periodic listeners. TimerBase holds the listener list
// and the per-frame update over an abstract clock; Timer is the component that runs it on the
// system's millisecond counter once per main-loop pass.
#pragma once

#include "app/ApplicationComponent.h"
#include "app/EngineObject.h"
#include "app/TimerListener.h"
#include <cstdint>
#include <list>

class TimerBase : public EngineObject {
public:
    TimerBase() = default;
    // Frees the list; the listeners themselves are not deleted, only told they are unlisted.
    ~TimerBase() override;

    TimerBase(const TimerBase&) = delete;
    TimerBase& operator=(const TimerBase&) = delete;

    virtual uint32_t now() = 0;

    // Removes every entry of the listener, then appends it; its state is left as it is.
    void addListener(TimerListener* listener);
    // Removes every entry of the listener; nothing else happens to it.
    void removeListener(TimerListener* listener);
    // Starts new listeners and calls back the due ones, purging before and after the walk.
    void update();
    // Drops listeners in state ListenerDetach and deletes those in ListenerDelete.
    void purge();

private:
    void compact();

    // Entries are cleared rather than erased while update walks the list, so that callbacks may
    // add or remove other listeners safely; cleared entries go at the next compaction.
    std::list<TimerListener*> listeners_;
    bool walking_ = false;
};

class Timer : public TimerBase, public ApplicationComponent {
public:
    // Creates the Timer on the first call, which registers it as a component.
    static Timer* instance();

    bool isNull() const override { return false; }
    uint32_t now() override;
    void onFrame() override;
    bool onWindowCreated(HWND window) override;

private:
    Timer() = default;
};
