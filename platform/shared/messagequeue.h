// The thread's message queue as Win32 keeps it: messages wait in the order they were posted, and
// PeekMessageA takes the first one that passes its window and message-range filters. The
// platform layers and the tests' recording platform both keep their messages in one.
#pragma once

#include "platform/win32.h"

#include <deque>

class MessageQueue {
public:
    void post(const MSG& msg);
    // The first waiting message for the window (any window when null) whose number lies in
    // filterMin..filterMax (any number when both are 0), taken out of the queue when remove is
    // set; false when no message passes.
    bool peek(MSG& msg, HWND window, UINT filterMin, UINT filterMax, bool remove);

private:
    std::deque<MSG> messages_;
};
