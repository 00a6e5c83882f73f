// Posting and peeking in the order and with the filters of Win32's message queue.
#include "platform/shared/messagequeue.h"

void MessageQueue::post(const MSG& msg) {
    messages_.push_back(msg);
}

bool MessageQueue::peek(MSG& msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    const bool anyNumber = filterMin == 0 && filterMax == 0;
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (window != nullptr && it->hwnd != window)
            continue;
        if (!anyNumber && (it->message < filterMin || it->message > filterMax))
            continue;
        msg = *it;
        if (remove)
            messages_.erase(it);
        return true;
    }
    return false;
}
