// Minifies the linked program's JavaScript with terser (Debian's node-terser): Emscripten
// 3.1.6 only strips its whitespace, and the minifier it would use instead (closure) is not
// packaged. Top-level names are shortened too, and what is never used goes; the names that code
// outside this file reaches must stay: Module (the page's settings and the program's state) and
// FS (the tests read the in-memory file system through it). A name the page, the tests or the
// benchmark start to use from outside goes into `kept`.
//   node minify.js IN.js OUT.js        (NODE_PATH must reach the terser module)
"use strict";
const fs = require("fs");
const {minify} = require("terser");

const kept = ["Module", "FS"];
const [input, output] = process.argv.slice(2);
minify(fs.readFileSync(input, "utf8"),
       {ecma: 2015, toplevel: true, compress: {passes: 2}, mangle: {reserved: kept}})
    .then(function(result) {
        // Written beside and renamed, so that a failure leaves no half-written file.
        fs.writeFileSync(output + ".part", result.code);
        fs.renameSync(output + ".part", output);
    })
    .catch(function(error) {
        console.error(input + ": " + error.message);
        process.exit(1);
    });
