// When the busy main loop hands control to the browser. The page freezes until it does, so it
// happens once in every pass of the loop: at the first look at the messages after a frame was
// shown, or, for a loop that shows none (drawing without double buffering, or waiting for
// something), at the first look after one that found no message, which ended the pass before.
#pragma once

namespace web {

class FramePacer {
public:
    void frameShown() { frameShown_ = true; }

    // Asked as the loop looks at its messages, before the look: whether the browser takes its
    // turn first.
    bool turnDue() const { return frameShown_ || passEnded_; }

    // Told after the browser's turn, if any: whether the look now being made will find no
    // message (the queue is empty), which ends this pass.
    void looking(bool queueEmpty) {
        frameShown_ = false;
        passEnded_ = queueEmpty;
    }

private:
    bool frameShown_ = false;
    bool passEnded_ = false;
};

} // namespace web
