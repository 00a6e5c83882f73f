#!/usr/bin/python3
"""The web build's page in headless Chromium (tests/web/page_driver.py), 1024 x 768 CSS pixels:
the time from navigation to the first presented frame (performance.now at the first SwapBuffers,
median of RUNS loads) and the frames per second over FRAMES frames after a warm-up of 100, both
read from the page (Module.firstFrameTime, presentedFrames, lastFrameTime). Frames follow the
browser's animation frames, as the game asks for vertical sync. Prints: first_frame_ms fps
    web_bench.py BUILD_DIR [RUNS] [FRAMES]"""

import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from page_driver import Page  # noqa: E402

FIRST_FRAME = ("new Promise(function(done) { (function check() {"
               " if (typeof Module != 'undefined' && Module.firstFrameTime) done(Module.firstFrameTime);"
               " else setTimeout(check, 5); })(); })")
FRAME_STATE = "[Module.presentedFrames, Module.lastFrameTime]"


def main():
    directory = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    page = Page(directory)
    try:
        page.start(1024, 768, 1)
        url = page.browser.evaluate("location.href")
        starts = [page.browser.evaluate(FIRST_FRAME)]
        for _ in range(runs - 1):
            page.browser.call("Page.navigate", url=url)
            page.browser.wait_for_event("Page.loadEventFired")
            starts.append(page.browser.evaluate(FIRST_FRAME))
        page.frames(100)
        first_count, first_time = page.browser.evaluate(FRAME_STATE)
        page.frames(frames)
        last_count, last_time = page.browser.evaluate(FRAME_STATE)
        fps = (last_count - first_count) * 1000.0 / (last_time - first_time)
        print("%.1f %.1f" % (statistics.median(starts), fps))
    finally:
        page.close()


if __name__ == "__main__":
    main()
