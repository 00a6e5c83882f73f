// The browser layer's JavaScript (linked with --js-library): what the C++ files reach of the
// page that <emscripten/html5.h> does not offer. Keys, blur and visibility arrive through
// html5.h callbacks (keyboard.cpp); the pointer needs pointer events and their capture, which
// html5.h lacks, so its listeners live here and report to the exported webPointer* calls
// (messages.cpp).
mergeInto(LibraryManager.library, {
  // What the functions below keep between calls.
  $webPage: {
    fittedFor: "", // the page and canvas sizes the canvas's box was last fitted to
    keyEvent: null, // the latest key event, whose lock states the keyboard asks for
    sleeping: false, // the program waits for its next frame
    logRead: 0, // bytes of pelmora.log already on the console
    logLine: [], // bytes of the line being written
  },

  // Every line written to pelmora.log also goes to the console: the log itself lives in the
  // in-memory file system, where neither a player nor a test can read it. It is read on after
  // each frame and when the program ends or stops. Bytes are Windows-1251.
  $webFollowLog__deps: ["$webPage"],
  // The lines of a program that ends before its first frame (a main that returns, or exit), or
  // stops on an exception that nothing caught.
  $webFollowLog__postset:
      "addOnExit(webFollowLog); window.addEventListener('error', () => webFollowLog());",
  $webFollowLog: function() {
    const path = "/pelmora.log";
    if (!FS.analyzePath(path).exists)
      return;
    const size = FS.stat(path).size;
    if (size <= webPage.logRead)
      return;
    const bytes = new Uint8Array(size - webPage.logRead);
    const stream = FS.open(path, "r");
    FS.read(stream, bytes, 0, bytes.length, webPage.logRead);
    FS.close(stream);
    webPage.logRead = size;
    const decoder = new TextDecoder("windows-1251");
    for (const byte of bytes) {
      if (byte === 10) {
        console.log(decoder.decode(new Uint8Array(webPage.logLine)));
        webPage.logLine = [];
      } else {
        webPage.logLine.push(byte);
      }
    }
  },

  // A random origin for the millisecond clock, drawn once per load.
  webClockOrigin: function() {
    return crypto.getRandomValues(new Uint32Array(1))[0];
  },

  // The canvas's box: the largest of the picture's shape inside the page, centred, its edges on
  // whole device pixels; the page's black shows beside or above it. Emscripten clears the
  // canvas's inline size whenever it sizes the backing store, so the box is checked, not only
  // remembered.
  webFitCanvas__deps: ["$webPage"],
  webFitCanvas: function() {
    const canvas = Module.canvas;
    const style = canvas.style;
    const ratio = window.devicePixelRatio || 1;
    const pageWidth = window.innerWidth;
    const pageHeight = window.innerHeight;
    const fittedFor = [pageWidth, pageHeight, ratio, canvas.width, canvas.height].join(" ");
    if (webPage.fittedFor === fittedFor && style.width)
      return;
    webPage.fittedFor = fittedFor;
    const scale = Math.min(pageWidth / canvas.width, pageHeight / canvas.height);
    const devicePixels = (length) => Math.floor(length * ratio) / ratio;
    const width = devicePixels(canvas.width * scale);
    const height = devicePixels(canvas.height * scale);
    style.position = "fixed";
    style.margin = "0";
    style.left = devicePixels((pageWidth - width) / 2) + "px";
    style.top = devicePixels((pageHeight - height) / 2) + "px";
    style.width = width + "px";
    style.height = height + "px";
  },

  // The pointer shown again over the running game (the game has given it back: its round is
  // over) is told to the page, which may offer the player something then (Module.onPointerBack).
  webShowPointer: function(show) {
    const style = Module.canvas.style;
    const comesBack = show && style.cursor === "none";
    style.cursor = show ? "" : "none";
    if (comesBack && Module.onPointerBack)
      Module.onPointerBack();
  },

  // The log's lines come first, as on a desktop, where each is in the file before the box.
  webAlert__deps: ["$webFollowLog"],
  webAlert: function(caption, text) {
    webFollowLog();
    alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text));
  },

  // html5.h's key events carry no lock states: the latest key event is kept for them. The
  // listener comes before html5.h's, which is registered on the window without capture.
  webListenToLocks__deps: ["$webPage"],
  webListenToLocks: function() {
    const keep = (e) => { webPage.keyEvent = e; };
    window.addEventListener("keydown", keep, true);
    window.addEventListener("keyup", keep, true);
  },

  // Whether the lock key of that KeyboardEvent.getModifierState name is on at the latest key.
  webLockOn__deps: ["$webPage"],
  webLockOn: function(name) {
    return webPage.keyEvent !== null && webPage.keyEvent.getModifierState(UTF8ToString(name));
  },

  // Positions are canvas pixels: the pointer's offset in the canvas's box, scaled by the box's
  // ratio to the canvas's pixel size, so that a click lands on the pixel drawn under it however
  // the page shows the picture. Only the primary pointer counts (Windows turns the first finger
  // on the screen into the mouse); the canvas captures it from its press to its release, so a
  // release outside the canvas still arrives. A press of a further button while one is held
  // arrives as a pointermove with a button.
  webListenToPointer: function() {
    const canvas = Module.canvas;
    let at = null; // canvas pixel of the last report
    let held = 0; // DOM buttons mask after the last report
    canvas.style.touchAction = "none";
    const position = (e) => {
      const box = canvas.getBoundingClientRect();
      return [
        Math.floor((e.clientX - box.left) * canvas.width / box.width),
        Math.floor((e.clientY - box.top) * canvas.height / box.height),
      ];
    };
    const moved = (point, buttons, e) => {
      at = point;
      _webPointerMoved(point[0], point[1], buttons, e.shiftKey, e.ctrlKey);
      held = buttons;
    };
    // A finger or a pen comes down where no move has taken the pointer: Windows moves the mouse
    // to a touch before it presses there, and the engine judges a press where the last move
    // left the pointer.
    const pressed = (down, point, button, buttons, e) => {
      if (at === null || at[0] !== point[0] || at[1] !== point[1])
        moved(point, held, e);
      _webPointerButton(down, point[0], point[1], button, buttons, e.shiftKey, e.ctrlKey);
      held = buttons;
    };
    // The DOM numbers buttons 0 left, 1 middle, 2 right, and their bits in `buttons` 1 left,
    // 4 middle, 2 right.
    const buttonBits = [1, 4, 2];
    canvas.addEventListener("pointermove", (e) => {
      if (!e.isPrimary)
        return;
      if (e.button >= 0)
        pressed((e.buttons & buttonBits[e.button]) !== 0, position(e), e.button, e.buttons, e);
      else
        moved(position(e), e.buttons, e);
    });
    canvas.addEventListener("pointerdown", (e) => {
      if (!e.isPrimary)
        return;
      try {
        canvas.setPointerCapture(e.pointerId);
      } catch (error) {
        // the pointer is already gone; its release follows without capture
      }
      pressed(true, position(e), e.button, e.buttons, e);
    });
    canvas.addEventListener("pointerup", (e) => {
      if (e.isPrimary)
        pressed(false, position(e), e.button, e.buttons, e);
    });
    // The browser took the pointer over (it should not, with touch-action none): whatever it
    // held is released where it was last seen, as a release would be.
    canvas.addEventListener("pointercancel", (e) => {
      if (!e.isPrimary || at === null)
        return;
      buttonBits.forEach((bit, button) => {
        if (held & bit)
          pressed(false, at, button, held & ~bit, e);
      });
    });
    canvas.addEventListener("wheel", (e) => {
      e.preventDefault();
      if (e.deltaY !== 0) {
        const point = position(e);
        _webWheelTurned(point[0], point[1], e.deltaY < 0 ? 1 : -1, e.buttons, e.shiftKey,
                        e.ctrlKey);
        held = e.buttons;
      }
    }, {passive: false});
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    // A page kept in the back/forward cache comes back as it was left: it has not been closed.
    window.addEventListener("pagehide", (e) => {
      if (!e.persisted)
        _webPageClosed();
    });
  },

  // Counts the frame for the page: Module.presentedFrames, firstFrameTime and lastFrameTime,
  // in performance.now milliseconds.
  webFrameShown: function() {
    const now = performance.now();
    Module.presentedFrames = (Module.presentedFrames || 0) + 1;
    if (Module.presentedFrames === 1)
      Module.firstFrameTime = now;
    Module.lastFrameTime = now;
  },

  // Hands control to the browser until its next animation frame (interval 1) or at once
  // (interval 0); an import that Asyncify unwinds at (ASYNCIFY_IMPORTS). Emscripten tells
  // Module.onExit of a main that returns, or calls exit, before its first frame; the program's
  // end after that comes inside a resumed frame, where nothing of Emscripten's hears it: when a
  // resumed frame returns without waiting again, main has returned, and Module.onExit hears of
  // it here. An exception from a resumed frame reaches the window's error listeners.
  webAwaitFrame__deps: ["$webPage", "$webFollowLog"],
  webAwaitFrame: function(interval) {
    Asyncify.handleSleep((wakeUp) => {
      webFollowLog();
      const resume = () => {
        webPage.sleeping = false;
        try {
          wakeUp();
        } finally {
          webFollowLog();
        }
        // The game's main returns 0 once its loop has ended; the page cannot read the value.
        if (!webPage.sleeping && Module.onExit)
          Module.onExit(0);
      };
      webPage.sleeping = true;
      if (interval > 0)
        requestAnimationFrame(resume);
      else
        setTimeout(resume, 0);
    });
  },
});
