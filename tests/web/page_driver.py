#!/usr/bin/python3
"""Plays the web build's page in headless Chromium for a test or a benchmark, through the
DevTools protocol: serves the page directory on 127.0.0.1 (a free port), starts Debian's
chromium with a fresh profile, and answers one command per line on stdin with one line on stdout
(a few answers continue on the lines they announce). Positions are canvas pixels, the
picture's own: the driver maps them through the canvas's box on the page to the browser's CSS
pixels, aiming at the middle of the pixel.

  start W H RATIO [W2 H2]  open the page in a W x H viewport (CSS pixels) at that device pixel
                           ratio; with W2 H2 the viewport is resized to W2 x H2 after the page has
                           laid out and before the game starts (its data file is held until then)
                           -> "ok"
  phone W H RATIO          open the page as a phone's browser shows it: a mobile viewport of
                           W x H CSS pixels at that ratio, and a touch screen -> "ok"
  site W H RATIO           open the page as a web host serves a game: from the folder
                           "/игры/pelmora 1.1/" of a server that compresses what it sends
                           (gzip) and sends .gz files as they are with Content-Encoding: gzip
                           (the browser unpacks them), with another release of the game beside
                           it in "/игры/pelmora 1.0/" (the same files, its worker's cache named
                           "pelmora-1.0.0-beside", whose server packs .gz files a second time)
                           -> "ok"
  go PATH                  follow a link to PATH, relative to the page (a folder ends in "/")
                           -> "ok"
  publish DIRECTORY        the site's folder "/игры/pelmora 1.1/" serves the release in
                           DIRECTORY from now on, as a host does once a new one is uploaded
                           -> "ok"
  plain COMMAND ...        the opening COMMAND (start, site, broken) in a browser without
                           DecompressionStream, as those before 2023 are: the page fetches the
                           plain files, not the ones packed with gzip
  slow COMMAND ...         the opening COMMAND on a 400 kbit/s link with 40 ms of latency
  broken W H RATIO FAULT   open a page that cannot start: FAULT "missing" answers the data
                           (pelmora.data.gz, or pelmora.data for a plain page) with HTTP 404,
                           "truncated" with the first half of that file, "file" opens index.html
                           from disk (file://), "exception" makes WebGL throw, "lost" takes
                           the game's WebGL context away once it has drawn -> "ok"
  resize W H               the viewport becomes W x H CSS pixels after the start (a phone's screen
                           turns to landscape when W > H) -> "ok"
  frames N                 wait until N frames more have been presented -> "ok"
  capture                  screenshot of the page, in device pixels -> "png BASE64"
  picture                  the canvas's own pixels, read right after the game has drawn a frame
                           -> "png BASE64"
  move X Y / click X Y     real mouse events at canvas pixel (X, Y) -> "ok"
  press BUTTON X Y         a real press and release of the mouse's BUTTON (left, middle, right,
                           back, forward) at canvas pixel (X, Y) -> "ok"
  tap X Y                  a finger's tap at canvas pixel (X, Y) -> "ok"
  click-element ID         a real mouse click in the middle of the page's element ID -> "ok"
  key NAME                 a real key press and release (Escape, Enter, Space, Tab) -> "ok"
  alt-tab                  Alt goes down, another tab comes to the front, then this one again;
                           the page never hears Alt come up -> "ok"
  away-and-back            follow a link away from the page, then press Back -> "ok restored"
                           when the browser brought the page back from its cache, "ok loaded"
                           when it loaded it afresh
  log                      what the page wrote with console.log so far -> "lines N", then N lines
  file PATH                a file of the page's in-memory file system -> "lines N", then N lines
  ended                    the page's end notice -> "ended 0" or "ended 1 TEXT"
  eval EXPRESSION          a JavaScript expression's value -> "value JSON"
  reload                   load the page again, as the browser's reload button does -> "ok"
  server stop              stop serving the page, as a server that has gone away -> "ok"
  devtools METHOD [JSON]   a DevTools call with those parameters -> "value JSON" (its result)
  quit                     close everything -> "ok"
Everything it starts ends with it: chromium (by its process group), the server and the profile.
"""

import base64
import functools
import gzip
import http.server
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request

import websocket

CHROMIUM = os.environ.get("PELMORA_CHROMIUM", "chromium")
TIMEOUT = 60.0


class Server:
    """The page directory over HTTP on a free port of 127.0.0.1, in a thread of this process."""

    def __init__(self, directory, handler_class=None):
        handler = functools.partial(handler_class or _QuietHandler, directory=directory)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.port = self.httpd.server_address[1]
        self.httpd.published = None  # a site's new release, its directory (_SiteHandler)
        # The browser opens connections before it needs them; a stopped server answers on none.
        self.connections = []
        accept = self.httpd.get_request

        def get_request():
            connection = accept()
            self.connections.append(connection[0])
            return connection

        self.httpd.get_request = get_request
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        for connection in self.connections:
            try:
                connection.shutdown(socket.SHUT_RDWR)
            except OSError:  # already closed by its request's end
                pass


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


# As a web host serves its games: each in a folder of its own, several on one origin, and every
# answer compressed when the browser takes gzip (the page and its worker see the unpacked bytes,
# with a Content-Length of the packed ones). Other paths are not found. A .gz file in the first
# folder goes as it is, with Content-Encoding: gzip, as hosts that map the extension to the
# encoding send it (the browser unpacks it); in the second it is packed once more like any file.
class _SiteHandler(_QuietHandler):
    FOLDER = "/игры/pelmora 1.1/"
    BESIDE = "/игры/pelmora 1.0/"

    def do_GET(self):
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        folder = next((f for f in (self.FOLDER, self.BESIDE) if path.startswith(f)), None)
        if folder is None:
            self.send_error(404)
            return
        name = path[len(folder):] or "index.html"
        directory = self.server.published if folder == self.FOLDER else None
        local = os.path.join(directory or self.directory, *name.split("/"))
        try:
            with open(local, "rb") as f:
                body = f.read()
        except OSError:
            self.send_error(404)
            return
        if name == "sw.js" and folder == self.BESIDE:
            body = re.sub(rb'"pelmora-[^" ]*', b'"pelmora-1.0.0-beside', body, count=1)
        packed = "gzip" in self.headers.get("Accept-Encoding", "")
        as_is = packed and name.endswith(".gz") and folder == self.FOLDER
        if packed and not as_is:
            body = gzip.compress(body)
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(local[:-3] if as_is else local))
        self.send_header("Content-Length", str(len(body)))
        if packed:
            self.send_header("Content-Encoding", "gzip")
        self.end_headers()
        self.wfile.write(body)


class Browser:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="pelmora-chromium-")
        # Chromium makes its singleton socket in a directory under TMPDIR, and a socket's path
        # holds at most 107 bytes: under a deep working directory (a test's, in a build tree
        # that may itself be deep) it aborts. It then gets a short one of its own.
        environment = dict(os.environ)
        self.scratch = None
        if len(tempfile.gettempdir()) > 40:
            self.scratch = tempfile.mkdtemp(prefix="pelmora-chromium-", dir="/tmp")
            environment["TMPDIR"] = self.scratch
        args = [CHROMIUM, "--headless=new", "--use-angle=swiftshader",
                "--enable-unsafe-swiftshader", "--no-first-run", "--no-default-browser-check",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--disable-extensions", "--mute-audio",
                "--user-data-dir=" + self.profile, "--remote-debugging-port=0",
                "about:blank"]
        if os.geteuid() == 0:
            args.insert(1, "--no-sandbox")
        self.process = subprocess.Popen(args, stdin=subprocess.DEVNULL, env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        self.socket = None
        self.next_id = 0
        self.events = []
        self.console = []
        port = self._wait_for_port()
        with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port) as answer:
            pages = [t for t in json.load(answer) if t["type"] == "page"]
        self.socket = websocket.create_connection(pages[0]["webSocketDebuggerUrl"],
                                                  timeout=TIMEOUT, suppress_origin=True)
        self.call("Page.enable")
        self.call("Runtime.enable")

    def _wait_for_port(self):
        path = os.path.join(self.profile, "DevToolsActivePort")
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end:
            if self.process.poll() is not None:
                raise RuntimeError("chromium ended with status %d" % self.process.returncode)
            try:
                with open(path) as f:
                    return int(f.readline())
            except (OSError, ValueError):
                time.sleep(0.05)
        raise RuntimeError("chromium did not open its DevTools port")

    def _receive(self):
        message = json.loads(self.socket.recv())
        if message.get("method") == "Runtime.consoleAPICalled":
            # console.log only: Emscripten's own notes are warnings.
            if message["params"]["type"] == "log":
                args = message["params"]["args"]
                self.console.append(" ".join(str(a.get("value", "")) for a in args))
        elif "method" in message:
            self.events.append(message)
        return message

    def call(self, method, **params):
        self.next_id += 1
        wanted = self.next_id
        self.socket.send(json.dumps({"id": wanted, "method": method, "params": params}))
        while True:
            message = self._receive()
            if message.get("id") == wanted:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]["message"]))
                return message.get("result", {})

    # A navigation (Page.navigate, Page.reload, Page.navigateToHistoryEntry) and the load it
    # leads to, not one that an earlier navigation left among the events.
    def load(self, method, **params):
        self.events = [e for e in self.events if e["method"] != "Page.loadEventFired"]
        self.call(method, **params)
        self.wait_for_event("Page.loadEventFired")

    def wait_for_event(self, method):
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end:
            for i, event in enumerate(self.events):
                if event["method"] == method:
                    return self.events.pop(i)
            self._receive()
        raise RuntimeError("no %s within %d s" % (method, TIMEOUT))

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, awaitPromise=True,
                           returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(result["exceptionDetails"].get("text", "exception"))
        return result["result"].get("value")

    def close(self):
        if self.socket is not None:
            try:
                self.call("Browser.close")
            except Exception:
                pass
            self.socket.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
        # The browser's helpers share its process group; whatever of them is left ends here.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)
        if self.scratch is not None:
            shutil.rmtree(self.scratch, ignore_errors=True)


class Page:
    def __init__(self, directory):
        self.directory = directory
        self.server = None
        self.browser = None
        self.ratio = 1.0
        self.mobile = False
        self.plain = False
        self.slow = False

    def launch(self, width, height, ratio, site=False):
        self.ratio = float(ratio)
        self.server = Server(self.directory, _SiteHandler if site else None)
        self.browser = Browser()
        if self.plain:
            self.browser.call("Page.addScriptToEvaluateOnNewDocument",
                              source="delete window.DecompressionStream;")
        if self.slow:
            self.browser.call("Network.enable")
            self.browser.call("Network.emulateNetworkConditions", offline=False, latency=40,
                              downloadThroughput=400e3 / 8, uploadThroughput=400e3 / 8)
        self.resize(width, height)
        page = urllib.parse.quote(_SiteHandler.FOLDER) if site else "/index.html"
        return "http://127.0.0.1:%d%s" % (self.server.port, page)

    def start(self, width, height, ratio, resize=None, site=False):
        url = self.launch(width, height, ratio, site)
        if resize is None:
            self.browser.load("Page.navigate", url=url)
            return
        # The game reads the canvas's size when it starts, which is when its data has arrived.
        self.browser.call("Fetch.enable", patterns=[{"urlPattern": "*pelmora.data*"}])
        self.browser.call("Page.navigate", url=url)
        paused = self.browser.wait_for_event("Fetch.requestPaused")
        self.resize(resize[0], resize[1])
        self.browser.evaluate("new Promise(r => requestAnimationFrame(() => r(innerWidth)))")
        self.browser.call("Fetch.continueRequest", requestId=paused["params"]["requestId"])
        self.browser.call("Fetch.disable")
        self.browser.wait_for_event("Page.loadEventFired")

    def start_phone(self, width, height, ratio):
        self.mobile = True
        url = self.launch(width, height, ratio)
        self.browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
        self.browser.load("Page.navigate", url=url)

    def start_broken(self, width, height, ratio, fault):
        url = self.launch(width, height, ratio)
        if fault == "file":
            url = "file://" + os.path.join(os.path.abspath(self.directory), "index.html")
            self.browser.load("Page.navigate", url=url)
            return
        if fault == "exception":
            # The browser's WebGL throws when the game asks for its context at the start.
            self.browser.call("Page.addScriptToEvaluateOnNewDocument", source=(
                "HTMLCanvasElement.prototype.getContext = function() {"
                " throw new Error('WebGL is switched off'); };"))
            self.browser.load("Page.navigate", url=url)
            return
        if fault == "lost":
            # As a browser short of graphics memory takes a running page's context back.
            self.browser.load("Page.navigate", url=url)
            self.frames(3)
            self.browser.evaluate(
                "(c => (c.getContext('webgl') || c.getContext('webgl2'))"
                ".getExtension('WEBGL_lose_context').loseContext())"
                "(document.getElementById('canvas'))")
            return
        if fault == "missing":
            status, body = 404, b"File not found"
        elif fault != "truncated":
            raise RuntimeError("no fault " + fault)
        self.browser.call("Fetch.enable", patterns=[{"urlPattern": "*pelmora.data*"}])
        self.browser.call("Page.navigate", url=url)
        paused = self.browser.wait_for_event("Fetch.requestPaused")
        if fault == "truncated":
            name = urllib.parse.urlsplit(paused["params"]["request"]["url"]).path.split("/")[-1]
            with open(os.path.join(self.directory, name), "rb") as f:
                data = f.read()
            status, body = 200, data[:len(data) // 2]
        self.browser.call("Fetch.fulfillRequest", requestId=paused["params"]["requestId"],
                          responseCode=status,
                          responseHeaders=[{"name": "Content-Type",
                                            "value": "application/octet-stream"},
                                           {"name": "Content-Length", "value": str(len(body))}],
                          body=base64.b64encode(body).decode("ascii"))
        self.browser.call("Fetch.disable")
        self.browser.wait_for_event("Page.loadEventFired")

    # The page's viewport in CSS pixels and the device pixel ratio, as a window of that size
    # on such a screen gives them; a phone's screen is upright or turned with it.
    def resize(self, width, height):
        extra = {}
        if self.mobile:
            turned = int(width) > int(height)
            extra["screenOrientation"] = {"type": "landscapePrimary" if turned
                                          else "portraitPrimary", "angle": 90 if turned else 0}
        self.browser.call("Emulation.setDeviceMetricsOverride", width=int(width),
                          height=int(height), deviceScaleFactor=self.ratio, mobile=self.mobile,
                          **extra)

    def frames(self, count):
        self.browser.evaluate(
            "new Promise(function(done) { var goal = (Module.presentedFrames || 0) + %d;"
            " (function check() { if ((Module.presentedFrames || 0) >= goal) done(true);"
            " else setTimeout(check, 5); })(); })" % int(count))

    def capture(self):
        shot = self.browser.call("Page.captureScreenshot", format="png", optimizeForSpeed=True)
        return shot["data"]

    # The canvas pixel's middle in CSS pixels, through the canvas's box as the page shows it.
    def css_point(self, x, y):
        return self.browser.evaluate(
            "(function(c) { var b = c.getBoundingClientRect();"
            " return [b.left + (%r + 0.5) * b.width / c.width,"
            " b.top + (%r + 0.5) * b.height / c.height]; })(document.getElementById('canvas'))"
            % (float(x), float(y)))

    def picture(self):
        # The game draws in an animation frame's callback; one asked for now runs after it,
        # before the browser has shown the frame and let go of its pixels.
        return self.browser.evaluate(
            "new Promise(function(done) { requestAnimationFrame(function() {"
            " var source = document.getElementById('canvas');"
            " var copy = document.createElement('canvas');"
            " copy.width = source.width; copy.height = source.height;"
            " copy.getContext('2d').drawImage(source, 0, 0);"
            " done(copy.toDataURL('image/png').split(',')[1]); }); })")

    def mouse(self, kind, x, y, button="none", buttons=0):
        cx, cy = self.css_point(x, y)
        self.mouse_at(kind, cx, cy, button, buttons)

    def mouse_at(self, kind, x, y, button="none", buttons=0):
        self.browser.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                          buttons=buttons, clickCount=1)

    # A press and release of one button where the pointer is moved to: the DOM's buttons mask
    # while it is held.
    def press(self, button, x, y):
        held = {"left": 1, "right": 2, "middle": 4, "back": 8, "forward": 16}[button]
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, button, held)
        self.mouse("mouseReleased", x, y, button, 0)

    def click_element(self, name):
        x, y = self.browser.evaluate(
            "(b => [b.left + b.width / 2, b.top + b.height / 2])"
            "(document.getElementById(%s).getBoundingClientRect())" % json.dumps(name))
        self.mouse_at("mouseMoved", x, y)
        self.mouse_at("mousePressed", x, y, "left", 1)
        self.mouse_at("mouseReleased", x, y, "left", 0)

    def tap(self, x, y):
        cx, cy = self.css_point(x, y)
        self.browser.call("Input.dispatchTouchEvent", type="touchStart",
                          touchPoints=[{"x": cx, "y": cy}])
        self.browser.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def key(self, name):
        keys = {"Escape": ("Escape", 27), "Enter": ("Enter", 13), "Space": (" ", 32),
                "Tab": ("Tab", 9)}
        key, code = keys.get(name, (name, 0))
        # A keyboard's key-down is a raw one (the browser's default actions, Tab's focus move
        # among them, answer only that); no character follows, since no test types text.
        for kind in ("rawKeyDown", "keyUp"):
            self.browser.call("Input.dispatchKeyEvent", type=kind, key=key, code=name,
                              windowsVirtualKeyCode=code)

    # Alt+Tab as the page sees it: Alt goes down, then the page is hidden behind another tab and
    # shown again, and Alt's release goes to whatever had the keyboard meanwhile.
    def alt_tab(self):
        self.browser.call("Input.dispatchKeyEvent", type="rawKeyDown", key="Alt", code="AltLeft",
                          windowsVirtualKeyCode=18, modifiers=1)
        here = self.browser.call("Target.getTargetInfo")["targetInfo"]["targetId"]
        other = self.browser.call("Target.createTarget", url="about:blank")["targetId"]
        shown = "new Promise(r => (function wait() { document.visibilityState == %s ? r(1) :" \
                " setTimeout(wait, 20); })())"
        self.browser.evaluate(shown % '"hidden"')
        self.browser.call("Target.activateTarget", targetId=here)
        self.browser.call("Target.closeTarget", targetId=other)
        self.browser.evaluate(shown % '"visible"')

    # A link away (the browser's blank page) and Back. A page that comes back from the cache
    # keeps what its scripts held; a loaded one starts afresh.
    def away_and_back(self):
        history = self.browser.call("Page.getNavigationHistory")
        here = history["entries"][history["currentIndex"]]
        self.browser.evaluate("window.pelmoraDriverWasHere = true")
        self.browser.load("Page.navigate", url="about:blank")
        self.browser.call("Page.navigateToHistoryEntry", entryId=here["id"])
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end:
            try:
                state = self.browser.evaluate(
                    "[location.href, document.readyState, window.pelmoraDriverWasHere === true]")
            except RuntimeError:
                state = None  # between documents
            if state and state[0] == here["url"] and state[1] == "complete":
                return "restored" if state[2] else "loaded"
            time.sleep(0.05)
        raise RuntimeError("the page did not come back")

    def file_lines(self, path):
        text = self.browser.evaluate(
            "new TextDecoder('windows-1251').decode(FS.readFile(%s))" % json.dumps(path))
        return text.split("\n")[:-1] if text else []

    def ended(self):
        return self.browser.evaluate(
            "document.getElementById('ended').hidden ? '' :"
            " document.getElementById('ended-text').textContent")

    # The release page's offline play: a reload is a new navigation, which the page's service
    # worker answers once it controls the page, with or without the server.
    def reload(self):
        self.browser.load("Page.reload")

    def go(self, path):
        url = self.browser.evaluate("new URL(%s, location.href).href" % json.dumps(path))
        self.browser.load("Page.navigate", url=url)

    def stop_server(self):
        self.server.close()
        self.server = None

    def close(self):
        if self.browser is not None:
            self.browser.close()
            self.browser = None
        if self.server is not None:
            self.server.close()
            self.server = None


def answer(text):
    sys.stdout.write(text + "\n")
    sys.stdout.flush()


def answer_lines(lines):
    answer("lines %d" % len(lines))
    for line in lines:
        answer(line.replace("\n", " "))


def serve(page):
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        command, args = words[0], words[1:]
        while command in ("plain", "slow") and args:
            setattr(page, command, True)
            command, args = args[0], args[1:]
        try:
            if command == "start":
                page.start(args[0], args[1], args[2], args[3:5] if len(args) >= 5 else None)
                answer("ok")
            elif command == "site":
                page.start(args[0], args[1], args[2], site=True)
                answer("ok")
            elif command == "go":
                page.go(line.split(None, 1)[1].strip())
                answer("ok")
            elif command == "publish":
                page.server.httpd.published = line.split(None, 1)[1].strip()
                answer("ok")
            elif command == "phone":
                page.start_phone(args[0], args[1], args[2])
                answer("ok")
            elif command == "broken":
                page.start_broken(args[0], args[1], args[2], args[3])
                answer("ok")
            elif command == "resize":
                page.resize(args[0], args[1])
                answer("ok")
            elif command == "frames":
                page.frames(args[0])
                answer("ok")
            elif command == "capture":
                answer("png " + page.capture())
            elif command == "picture":
                answer("png " + page.picture())
            elif command == "tap":
                page.tap(float(args[0]), float(args[1]))
                answer("ok")
            elif command == "click-element":
                page.click_element(args[0])
                answer("ok")
            elif command == "alt-tab":
                page.alt_tab()
                answer("ok")
            elif command == "away-and-back":
                answer("ok " + page.away_and_back())
            elif command in ("move", "click"):
                x, y = float(args[0]), float(args[1])
                page.mouse("mouseMoved", x, y)
                if command == "click":
                    page.mouse("mousePressed", x, y, "left", 1)
                    page.mouse("mouseReleased", x, y, "left", 0)
                answer("ok")
            elif command == "press":
                page.press(args[0], float(args[1]), float(args[2]))
                answer("ok")
            elif command == "key":
                page.key(args[0])
                answer("ok")
            elif command == "log":
                page.browser.evaluate("0")  # takes in what the console said up to now
                answer_lines(page.browser.console)
            elif command == "file":
                answer_lines(page.file_lines(args[0]))
            elif command == "ended":
                text = page.ended()
                answer("ended 1 " + text if text else "ended 0")
            elif command == "eval":
                answer("value " + json.dumps(page.browser.evaluate(line.split(None, 1)[1])))
            elif command == "reload":
                page.reload()
                answer("ok")
            elif command == "server" and args == ["stop"]:
                page.stop_server()
                answer("ok")
            elif command == "devtools":
                params = json.loads(line.split(None, 2)[2]) if len(args) > 1 else {}
                answer("value " + json.dumps(page.browser.call(args[0], **params)))
            elif command == "quit":
                break
            else:
                answer("error unknown command " + command)
        except Exception as error:  # the test reads the reason; the driver stays usable
            answer("error %s" % str(error).replace("\n", " "))
    page.close()
    answer("ok")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: page_driver.py PAGE_DIRECTORY")
    # Ended by a signal (a timeout, a test run stopped), the browser, the server and the profile
    # still go with it.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(128 + number))
    signal.signal(signal.SIGHUP, lambda number, frame: sys.exit(128 + number))
    page = Page(sys.argv[1])
    try:
        serve(page)
    finally:
        page.close()
