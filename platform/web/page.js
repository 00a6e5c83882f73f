// The page's own script (index.html): the game's engine draws on the canvas; this script loads
// the game and its data, and shows the loading, the end, and what went wrong with what to do
// about it.
"use strict";

// Emscripten's settings for the program: the one global of this script, which the program's own
// script reads and extends.
var Module = {postRun: []};

(() => {
  const canvas = document.getElementById("canvas");
  const again = document.getElementById("again");
  let noticeShown = false;

  // The first notice stands: what goes wrong after a failure follows from it.
  function showNotice(text, button) {
    if (noticeShown)
      return;
    noticeShown = true;
    canvas.style.display = "none";
    document.getElementById("status").hidden = true;
    document.getElementById("ended-text").textContent = text;
    again.hidden = !button;
    again.textContent = button || "";
    document.getElementById("ended").hidden = false;
    if (button)
      again.focus();
  }

  function showFailure(text) {
    showNotice(text, "Reload");
  }

  function setStatus(text) {
    const status = document.getElementById("status");
    status.textContent = text;
    status.hidden = !text || noticeShown;
  }

  // The game takes every key, the button's own Enter and Space included: the button answers them
  // before they reach the game's listener.
  again.addEventListener("click", () => location.reload());
  again.addEventListener("keydown", (e) => {
    e.stopPropagation();
    if (e.key === "Enter" || e.key === " ") {
      e.preventDefault();
      location.reload();
    }
  });
  again.addEventListener("keyup", (e) => e.stopPropagation());
  // Once a notice stands, Tab moves the focus as on any page (back to the button if it was lost):
  // the game's key listeners, which keep Tab from the browser, do not hear it. This one comes
  // before them, since the page registers it before the program starts.
  window.addEventListener("keydown", (e) => {
    if (noticeShown && e.key === "Tab")
      e.stopImmediatePropagation();
  }, true);

  // An exception that nothing caught, at the start or in a running frame, stops the game: the
  // console is not where a player looks.
  window.addEventListener("error", (e) => {
    showFailure("The game has stopped: " + e.message + ". Reload the page to start it again.");
  });

  // The browser may take the game's graphics back while it runs: a phone short of memory, a
  // restarted graphics driver, or more pages drawing at once than it allows. The game cannot make
  // its textures again, and would go on drawing nothing.
  canvas.addEventListener("webglcontextlost", () => {
    showFailure("The game's picture was lost: the browser took back its graphics, as it does " +
                "when the device runs short of memory or too many pages draw at once. Reload " +
                "the page to play again.");
  });

  Module.canvas = canvas;
  Module.setStatus = setStatus;
  Module.onExit = (status) => {
    showNotice(status === 0 ? "The game has ended." : "The game has ended (status " + status + ").",
               "Play again");
  };
  Module.onAbort = (what) => {
    showFailure("The game has stopped: " + what + ". Reload the page to start it again.");
  };

  // Offline play: the service worker (sw.js) keeps this page and everything it loads. It is
  // registered once the game has started, when the browser already holds every file, so that
  // filling the worker's cache costs no second download; a page opened from disk has none.
  if ("serviceWorker" in navigator && /^https?:$/.test(location.protocol)) {
    Module.postRun.push(() => {
      navigator.serviceWorker.register("sw.js").catch((error) => {
        console.warn("Pelmora will not start offline: " + error);
      });
    });
  }

  // The page fetches the game's data itself, so that a missing or cut file is said instead of
  // played: the program's loader takes the bytes from Module.getPreloadedPackage, which also tells
  // how long the package must be. Nothing of the program runs on data that fails.
  const dataName = "pelmora.data";
  const serveAdvice = "Serve the game's folder with a web server and open the page from " +
      "there, for example with bash scripts/play-web.sh in Pelmora's source folder or " +
      "python3 -m http.server in the game's folder.";
  if (location.protocol === "file:") {
    showNotice("This page was opened from a file on disk, and the browser does not let such " +
               "a page load the game's data. " + serveAdvice);
    return;
  }

  function cannotLoad(reason) {
    showFailure("The game's data (" + dataName + ") could not be loaded: " + reason +
                ". Reload the page; if that does not help, the page's folder is incomplete.");
  }

  // The body, with the download's progress on the status line.
  async function readAll(response) {
    // A server that packs what it sends states the packed length: no share can be told then.
    const total = response.headers.get("Content-Encoding") ? 0 :
        Number(response.headers.get("Content-Length")) || 0;
    if (!response.body || !response.body.getReader)
      return response.arrayBuffer();
    const reader = response.body.getReader();
    const parts = [];
    let loaded = 0;
    for (;;) {
      const step = await reader.read();
      if (step.done)
        break;
      parts.push(step.value);
      loaded += step.value.length;
      setStatus("Downloading data… " +
                (total ? Math.min(100, Math.floor(loaded * 100 / total)) + "%" : ""));
    }
    const bytes = new Uint8Array(loaded);
    let offset = 0;
    for (const part of parts) {
      bytes.set(part, offset);
      offset += part.length;
    }
    return bytes.buffer;
  }

  function startProgram(data) {
    Module.getPreloadedPackage = (name, size) => {
      if (data.byteLength !== size) {
        const text = "The game's data (" + dataName + ") arrived incomplete: " +
            data.byteLength + " of " + size + " bytes. Reload the page; if that does not " +
            "help, the page's folder holds a damaged copy.";
        showFailure(text);
        throw new Error(text);
      }
      return data;
    };
    const script = document.createElement("script");
    script.src = "pelmora.js";
    script.onerror = () => cannotLoad("pelmora.js did not arrive");
    document.body.appendChild(script);
  }

  setStatus("Downloading data…");
  fetch(dataName).then((response) => {
    if (!response.ok) {
      cannotLoad("the server answered HTTP " + response.status +
                 (response.statusText ? " " + response.statusText : ""));
      return;
    }
    return readAll(response).then(startProgram);
  }).catch((error) => {
    cannotLoad("the download failed (" + error.message + ")");
  });
})();
