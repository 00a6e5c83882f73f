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
  const offer = document.getElementById("offer");
  let noticeShown = false;
  let programStarted = false;

  // The first notice stands: what goes wrong after a failure follows from it.
  function showNotice(text, button) {
    if (noticeShown)
      return;
    noticeShown = true;
    offer.hidden = true;
    document.getElementById("turn").hidden = true;
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

  // A button that loads the page again (a new flower is a new load) on a click, a tap, Enter or
  // Space. The game takes every key, so the button answers its own Enter and Space before they
  // reach the game's listener; one that keepsKeys holds back every other key from the game too.
  function reloadsOnPress(button, keepsKeys) {
    const press = (e) => e.key === "Enter" || e.key === " ";
    button.addEventListener("click", () => location.reload());
    button.addEventListener("keydown", (e) => {
      if (keepsKeys || press(e))
        e.stopPropagation();
      if (press(e)) {
        e.preventDefault();
        location.reload();
      }
    });
    button.addEventListener("keyup", (e) => {
      if (keepsKeys || press(e))
        e.stopPropagation();
    });
  }
  reloadsOnPress(again, true);

  // Once the verdict stands, the game gives the pointer back, and the page offers another round
  // by click, tap, or Tab then Enter or Space. The offer does not take the focus, and Escape
  // still goes to the game and ends it.
  reloadsOnPress(offer, false);
  Module.onPointerBack = () => {
    offer.hidden = noticeShown;
  };

  // Once a notice or the offer stands, Tab moves the focus as on any page (back to the button if
  // it was lost): the game's key listeners, which keep Tab from the browser, do not hear it. This
  // one comes before them, since the page registers it before the program starts.
  window.addEventListener("keydown", (e) => {
    if ((noticeShown || !offer.hidden) && e.key === "Tab")
      e.stopImmediatePropagation();
  }, true);

  // A mouse's Back and Forward buttons would leave the page, and the game with it: while the game
  // runs they stay inside it (Chromium takes their release as the navigation, unless cancelled).
  Module.postRun.push(() => {
    programStarted = true;
  });
  window.addEventListener("mouseup", (e) => {
    if (programStarted && !noticeShown && (e.button === 3 || e.button === 4))
      e.preventDefault();
  });

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

  // A browser that unpacks gzip as it downloads (DecompressionStream) fetches the program and its
  // data packed with it (name.gz, a third of the bytes); any other fetches the plain files.
  const packed = typeof DecompressionStream === "function";

  // Offline play: the service worker (sw.js) keeps this page and everything it loads. It is
  // registered once the game has started, when the browser already holds every file, so that
  // filling the worker's cache costs no second download; a page opened from disk has none. It
  // keeps the files this page fetches: the packed ones, or the plain ones ("?plain").
  //
  // A returning player's page comes from the worker's cache, and the browser would look for a
  // new release only once the page has loaded: the new one would arrive at the visit after. So a
  // page that a worker answered asks for a new one while it reads its data, and when one is
  // installing, the program waits: once the new worker has filled its cache and taken over, the
  // page loads itself again, now as the new release. Without the network the question fails at
  // once; a worker whose installation fails leaves this release to start. The page loads again
  // once at most (a mark in session storage): a host whose sw.js differed at every request would
  // otherwise keep it loading. newRelease says whether to load again instead of starting.
  const workers = navigator.serviceWorker;
  const served = /^https?:$/.test(location.protocol); // not opened from disk
  const reloadMark = "pelmora-new-release";
  let justReloaded = true; // storage refused: a reload could not be counted, so none comes
  try {
    justReloaded = sessionStorage.getItem(reloadMark) !== null;
    sessionStorage.removeItem(reloadMark);
  } catch (error) {
  }
  let newRelease = Promise.resolve(false);
  if (workers && workers.controller && served && !justReloaded) {
    newRelease = (async () => {
      const registration = await workers.getRegistration();
      if (!registration)
        return false;
      if (!registration.installing)
        await registration.update();
      const incoming = registration.installing;
      if (!incoming)
        return false;
      setStatus("Updating…");
      return new Promise((done) => {
        workers.addEventListener("controllerchange", () => done(true));
        incoming.addEventListener("statechange", () => {
          if (incoming.state === "redundant")
            done(false);
        });
      });
    })().catch((error) => {
      console.warn("Pelmora could not look for a new version: " + error);
      return false;
    });
  }
  if (workers && served) {
    Module.postRun.push(() => {
      navigator.serviceWorker.register(packed ? "sw.js" : "sw.js?plain").catch((error) => {
        console.warn("Pelmora will not start offline: " + error);
      });
    });
  }

  // The page fetches the program and its data itself, all three at once, so that a missing or cut
  // file is said instead of played and the program compiles while the data still arrives. The
  // program's loader takes the data from Module.getPreloadedPackage, which also tells how long
  // the package must be, and the compiled program from Module.instantiateWasm. Nothing of the
  // program runs on data that fails.
  const serveAdvice = "Serve the game's folder with a web server and open the page from " +
      "there, for example with bash scripts/play-web.sh in Pelmora's source folder or " +
      "python3 -m http.server in the game's folder.";
  if (location.protocol === "file:") {
    showNotice("This page was opened from a file on disk, and the browser does not let such " +
               "a page load the game's data. " + serveAdvice);
    return;
  }

  // What has arrived of each file, and of how much (null until its answer's headers are in) when
  // the server says: one that packs what it sends (Content-Encoding) states the packed length,
  // which the page never sees, so that only the bytes received can be shown then.
  const downloads = [];
  function showProgress() {
    let loaded = 0, total = 0, unknown = false, waiting = false;
    for (const download of downloads) {
      loaded += download.loaded;
      total += download.total;
      unknown = unknown || download.total === 0;
      waiting = waiting || download.total === null;
    }
    setStatus("Downloading data… " + (unknown ? Math.round(loaded / 1024) + " KB" :
              waiting ? "" : Math.min(100, Math.floor(loaded * 100 / total)) + "%"));
  }

  // What the page says when a file fails.
  class Failure extends Error {}
  function cannotLoad(file, what, reason) {
    return new Failure("The game's " + what + " (" + file + ") could not be loaded: " + reason +
                       ". Reload the page; if that does not help, the page's folder is " +
                       "incomplete.");
  }
  function damaged(file, what, error) {
    return new Failure("The game's " + what + " (" + file + ") arrived incomplete or damaged (" +
                       error.message + "). Reload the page; if that does not help, the page's " +
                       "folder holds a damaged copy.");
  }
  function fail(error) {
    showFailure(error instanceof Failure ? error.message :
                "The game could not be loaded: " + error.message + ". Reload the page.");
  }

  // A reader of a response's body that counts what arrives.
  function countingReader(response, download) {
    const reader = response.body.getReader();
    return {
      async next() {
        const step = await reader.read();
        if (!step.done) {
          download.loaded += step.value.length;
          showProgress();
        }
        return step;
      },
      cancel: (reason) => reader.cancel(reason)
    };
  }

  // A packed file's body as a stream of its own bytes. Its first chunks are read until gzip's two
  // first bytes (1f 8b) can be looked for: a host that sends .gz files with Content-Encoding: gzip
  // has the browser unpack them already. The rest follows as it comes.
  async function unpacked(response, download) {
    const reader = countingReader(response, download);
    const head = [];
    const first = [];
    while (first.length < 2) {
      const step = await reader.next();
      if (step.done)
        break;
      head.push(step.value);
      first.push(...step.value.subarray(0, 2 - first.length));
    }
    const body = new ReadableStream({
      start(controller) {
        for (const chunk of head)
          controller.enqueue(chunk);
      },
      async pull(controller) {
        const step = await reader.next();
        if (step.done)
          controller.close();
        else
          controller.enqueue(step.value);
      },
      cancel: (reason) => reader.cancel(reason)
    });
    return first[0] === 0x1f && first[1] === 0x8b ?
        body.pipeThrough(new DecompressionStream("gzip")) : body;
  }

  // A plain file's bytes, counted as they arrive (at once where the browser gives no stream).
  async function plain(response, download) {
    if (!response.body || !response.body.getReader) {
      const body = await response.arrayBuffer();
      download.loaded += body.byteLength;
      showProgress();
      return body;
    }
    const reader = countingReader(response, download);
    const parts = [];
    for (let step = await reader.next(); !step.done; step = await reader.next())
      parts.push(step.value);
    return new Blob(parts);
  }

  // One of the game's files, fetched at once: a response with the file's own bytes, of the given
  // type. What does not come whole, or does not unpack, fails when its body is read:
  // response.failure says so.
  async function download(name, what, type) {
    const file = packed ? name + ".gz" : name;
    const progress = {loaded: 0, total: null};
    downloads.push(progress);
    let response;
    try {
      response = await fetch(file);
    } catch (error) {
      throw cannotLoad(file, what, "the download failed (" + error.message + ")");
    }
    if (!response.ok) {
      throw cannotLoad(file, what, "the server answered HTTP " + response.status +
                       (response.statusText ? " " + response.statusText : ""));
    }
    progress.total = response.headers.get("Content-Encoding") ? 0 :
        Number(response.headers.get("Content-Length")) || 0;
    let body;
    try {
      body = packed ? await unpacked(response, progress) : await plain(response, progress);
    } catch (error) {
      throw damaged(file, what, error);
    }
    const result = new Response(body, {headers: {"Content-Type": type}});
    result.failure = (error) => {
      throw error instanceof Failure ? error : damaged(file, what, error);
    };
    return result;
  }

  setStatus("Downloading data…");
  const data = download("pelmora.data", "data", "application/octet-stream")
      .then((response) => response.arrayBuffer().catch(response.failure));
  const script = download("pelmora.js", "program", "text/javascript")
      .then((response) => response.blob().catch(response.failure));
  // Compiled as it arrives where the browser can.
  const program = download("pelmora.wasm", "program", "application/wasm").then((response) => {
    const compiled = WebAssembly.compileStreaming ? WebAssembly.compileStreaming(response) :
        response.arrayBuffer().then((body) => WebAssembly.compile(body));
    return compiled.catch(response.failure);
  });
  program.catch(fail);

  Module.instantiateWasm = (imports, receive) => {
    program.then(async (compiled) => {
      receive(await WebAssembly.instantiate(compiled, imports), compiled);
    }).catch(fail);
    return {};
  };

  Promise.all([data, script, newRelease]).then(([bytes, code, renewed]) => {
    if (renewed) {
      try {
        sessionStorage.setItem(reloadMark, "1");
        location.reload();
        return;
      } catch (error) {
        // the load could not be marked: this release starts, the new one comes next time
      }
    }
    Module.getPreloadedPackage = (name, size) => {
      if (bytes.byteLength !== size) {
        const text = "The game's data (" + name + ") arrived incomplete: " + bytes.byteLength +
            " of " + size + " bytes. Reload the page; if that does not help, the page's " +
            "folder holds a damaged copy.";
        showFailure(text);
        throw new Error(text);
      }
      return bytes;
    };
    const element = document.createElement("script");
    element.src = URL.createObjectURL(code);
    element.onload = () => URL.revokeObjectURL(element.src);
    element.onerror = () => showFailure("The game's program could not be started. Reload the page.");
    document.body.appendChild(element);
  }).catch(fail);
})();
