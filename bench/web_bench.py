#!/usr/bin/python3
"""The web release page (the folder of the web zip) in headless Chromium at 1024 x 768 CSS
pixels, served by a plain static server (Python's http.server, no compression), through the
DevTools client of tests/web/page_driver.py. Every time is from navigation to the first
presented frame (performance.now at the first SwapBuffers, Module.firstFrameTime):

- cold: the browser's cache, the page's service worker and its cache cleared before each load
  (Network.clearBrowserCache, Storage.clearDataForOrigin), as on a first visit with the browser
  already running; median of RUNS after one load that is not counted;
- throttled: cold, with the browser's network held to 10 Mbit/s and 40 ms of latency
  (Network.emulateNetworkConditions) and its cache off (Network.setCacheDisabled), median of
  THROTTLED runs, beside the floor that link sets: the bytes on the way to the first frame
  (every response the page had received by then, headers included, from its resource timing)
  at 10 Mbit/s, plus two round trips (the page, then the files it starts at once);
- warm: the same page loaded again once its service worker holds it, median of RUNS;
- frames per second over FRAMES frames after a warm-up of 100 (Module.presentedFrames and
  lastFrameTime), on the warm page; frames follow the browser's animation frames, as the game
  asks for vertical sync;
- bytes: what the server sent for one cold load, bodies and headers, from the navigation until
  the service worker has filled its cache (the manifest's icons included).

Prints one line: cold_ms warm_ms throttled_ms floor_ms first_frame_bytes fps bytes; then, on
standard error, each request of the cold load (path, status, bytes sent).
    web_bench.py PAGE_DIR [RUNS] [FRAMES] [THROTTLED]"""

import functools
import http.server
import os
import statistics
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from page_driver import Browser  # noqa: E402

FIRST_FRAME = ("new Promise(function(done) { (function check() {"
               " if (typeof Module != 'undefined' && Module.firstFrameTime) done(Module.firstFrameTime);"
               " else setTimeout(check, 5); })(); })")
FRAME_STATE = "[Module.presentedFrames, Module.lastFrameTime]"
WORKER_READY = "navigator.serviceWorker.ready.then(function() { return true; })"
# 10 Mbit/s each way and 40 ms: the conditions a player on a modest connection sees.
THROTTLE = {"offline": False, "latency": 40, "downloadThroughput": 10e6 / 8,
            "uploadThroughput": 10e6 / 8}
# What the page had received when its first frame was presented: the page itself and each
# response that had ended by then, with their headers (transferSize).
FIRST_FRAME_BYTES = ("performance.getEntriesByType('navigation').concat("
                     "performance.getEntriesByType('resource')).filter(function(e) {"
                     " return e.responseEnd <= Module.firstFrameTime; }).reduce(function(sum, e) {"
                     " return sum + e.transferSize; }, 0)")


class _CountingWriter:
    def __init__(self, stream):
        self.stream = stream
        self.count = 0

    def write(self, data):
        self.count += len(data)
        return self.stream.write(data)

    def __getattr__(self, name):  # flush, close, closed: the stream's own
        return getattr(self.stream, name)


class _CountingHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the folder as a plain static server does, one request per connection (HTTP/1.0),
    and notes each request's path, status and the bytes it sent."""

    def setup(self):
        super().setup()
        self.wfile = _CountingWriter(self.wfile)

    def log_request(self, code="-", size="-"):
        self.status = code

    def log_message(self, *args):
        pass

    def finish(self):
        self.server.sent.append((getattr(self, "path", "?"), getattr(self, "status", "-"),
                                 self.wfile.count))
        super().finish()


class Server:
    def __init__(self, directory):
        handler = functools.partial(_CountingHandler, directory=directory)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.httpd.sent = []
        self.url = "http://127.0.0.1:%d/index.html" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def open_browser():
    browser = Browser()
    browser.call("Emulation.setDeviceMetricsOverride", width=1024, height=768,
                 deviceScaleFactor=1, mobile=False)
    return browser


def navigate(browser, url):
    browser.load("Page.navigate", url=url)
    return browser.evaluate(FIRST_FRAME)


def floor_ms(nbytes):
    """The least time the throttled link allows for NBYTES and two round trips."""
    return nbytes * 1000.0 / THROTTLE["downloadThroughput"] + 2 * THROTTLE["latency"]


def cold(browser, server):
    """One load as a first visit: the first frame's time and the requests the server saw."""
    browser.call("Page.navigate", url="about:blank")
    browser.call("Network.clearBrowserCache")
    browser.call("Storage.clearDataForOrigin", origin=server.url.rsplit("/", 1)[0],
                 storageTypes="all")
    del server.httpd.sent[:]
    first = navigate(browser, server.url)
    # The service worker fills its cache after the first frame; that belongs to the visit too.
    browser.evaluate(WORKER_READY)
    return first, list(server.httpd.sent)


def wait_frames(browser, count):
    browser.evaluate(
        "new Promise(function(done) { var goal = Module.presentedFrames + %d;"
        " (function check() { if (Module.presentedFrames >= goal) done(true);"
        " else setTimeout(check, 5); })(); })" % count)


def main():
    directory = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    throttled_runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    server = Server(directory)
    browser = open_browser()
    try:
        cold(browser, server)
        colds, requests = [], None
        for _ in range(runs):
            first, sent = cold(browser, server)
            colds.append(first)
            requests = requests or sent
        browser.call("Network.enable")
        browser.call("Network.emulateNetworkConditions", **THROTTLE)
        browser.call("Network.setCacheDisabled", cacheDisabled=True)
        throttled, first_bytes = [], []
        for _ in range(throttled_runs):
            throttled.append(cold(browser, server)[0])
            first_bytes.append(browser.evaluate(FIRST_FRAME_BYTES))
        browser.call("Network.setCacheDisabled", cacheDisabled=False)
        browser.call("Network.emulateNetworkConditions", offline=False, latency=0,
                     downloadThroughput=-1, uploadThroughput=-1)
        browser.call("Network.disable")

        warms = [navigate(browser, server.url) for _ in range(runs)]
        wait_frames(browser, 100)
        first_count, first_time = browser.evaluate(FRAME_STATE)
        wait_frames(browser, frames)
        last_count, last_time = browser.evaluate(FRAME_STATE)
        fps = (last_count - first_count) * 1000.0 / (last_time - first_time)
        total = sum(sent for _, _, sent in requests)
        critical = statistics.median(first_bytes)
        print("%.1f %.1f %.1f %.1f %d %.1f %d" % (
            statistics.median(colds), statistics.median(warms), statistics.median(throttled),
            floor_ms(critical), critical, fps, total))
        for path, status, sent in requests:
            print("  %-28s %s %9d" % (path, status, sent), file=sys.stderr)
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    main()
