// What the page needs of the program's runtime beyond Emscripten's own (loaded before it with
// --pre-js): the log on the browser's console, and the end of the program told to the page.

// Every line written to pelmora.log also goes to the console: the log itself lives in the
// in-memory file system, where neither a player nor a test can read it. Bytes are Windows-1251.
Module["preRun"] = [].concat(Module["preRun"] || [], function() {
    var decoder = new TextDecoder("windows-1251");
    var pending = [];
    var write = FS.write;
    FS.write = function(stream, buffer, offset, length, position, canOwn) {
        var written = write.apply(FS, arguments);
        if (stream.path == "/pelmora.log" && written > 0) {
            var bytes = buffer.subarray(offset, offset + written);
            for (var i = 0; i < bytes.length; ++i) {
                if (bytes[i] == 10) {
                    console.log(decoder.decode(new Uint8Array(pending)));
                    pending = [];
                } else {
                    pending.push(bytes[i]);
                }
            }
        }
        return written;
    };
});

// Emscripten reports a main that returns, or calls exit, before it first hands control to the
// browser; the main loop ends long after that, inside a resumed frame, and exit from there would
// only throw. Module.onExit hears of both ends. An exception in a resumed frame ends the game
// too, where only the console would see it: Module.onAbort hears of it.
Module["postRun"] = [].concat(Module["postRun"] || [], function() {
    if (!Asyncify.currData)
        return;
    Asyncify.whenDone().then(function(status) {
        if (Module["onExit"])
            Module["onExit"](status);
    }, function(error) {
        if (!(error instanceof ExitStatus)) {
            if (Module["onAbort"])
                Module["onAbort"](error);
            throw error;
        }
        if (Module["onExit"])
            Module["onExit"](error.status);
    });
});
