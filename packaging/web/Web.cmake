# The web release, included by platform/web once the pelmora target exists: the page as a
# player's browser loads it, in one folder of the build directory, pelmora-<version>-web/:
# index.html and its page.js, pelmora.js (minified), pelmora.wasm, pelmora.data and the same
# three packed with gzip (pelmora.js.gz, ...), the app manifest with its icons, the favicon and
# the service worker, with README.txt (how to host it) and the licences beside them.
# pelmora-<version>-web.zip holds that folder, ready for any static host. The tests, the
# benchmark and play-web.sh use the folder; the files beside it are the link's own output.

pelmora_require_program(PELMORA_NODE node nodejs)
pelmora_require_program(PELMORA_ICOTOOL icotool icoutils)
# The toolchain confines searches to Emscripten's sysroot; terser is the build machine's.
find_path(PELMORA_NODE_MODULES terser/package.json PATHS /usr/share/nodejs /usr/lib/nodejs
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT PELMORA_NODE_MODULES)
    message(FATAL_ERROR "terser is missing: install the Debian package 'node-terser' "
                        "(scripts/deps.sh lists every package the build needs)")
endif()

set(web_dir ${CMAKE_CURRENT_LIST_DIR})
set(release pelmora-${PROJECT_VERSION}-web)
set(page ${CMAKE_BINARY_DIR}/${release})
set(icon_dir ${CMAKE_SOURCE_DIR}/assets/icons)

add_custom_command(OUTPUT ${page}/pelmora.js
    COMMAND ${CMAKE_COMMAND} -E make_directory ${page}
    COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=${PELMORA_NODE_MODULES}
            ${PELMORA_NODE} ${web_dir}/minify.js $<TARGET_FILE:pelmora> ${page}/pelmora.js
    DEPENDS pelmora ${web_dir}/minify.js
    COMMENT "Minifying pelmora.js"
    VERBATIM)

# The program's other files as linked, the page, and the texts; the icons are the desktop
# packages' daisy, painted by assets/artgen.cpp at each size.
set(copied index.html page.js pelmora.wasm pelmora.data pelmora.webmanifest icons/pelmora-192.png
    icons/pelmora-512.png README.txt LICENSE.txt OFL.txt)
list(TRANSFORM copied PREPEND ${page}/ OUTPUT_VARIABLE copied_paths)
# The texts as the Windows zip has them: .txt files with CR LF line ends.
set(texts ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
    ${CMAKE_CURRENT_BINARY_DIR}/OFL.txt)
pelmora_player_texts(${web_dir}/README.txt.in ${CMAKE_CURRENT_BINARY_DIR})
add_custom_command(OUTPUT ${copied_paths}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${page}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/index.html ${CMAKE_BINARY_DIR}/page.js
            ${CMAKE_BINARY_DIR}/pelmora.wasm ${CMAKE_BINARY_DIR}/pelmora.data
            ${web_dir}/pelmora.webmanifest ${texts} ${page}
    COMMAND ${CMAKE_COMMAND} -E copy ${icon_dir}/pelmora-192.png ${icon_dir}/pelmora-512.png
            ${page}/icons
    DEPENDS pelmora ${CMAKE_BINARY_DIR}/index.html ${CMAKE_BINARY_DIR}/page.js ${web_dir}/pelmora.webmanifest ${texts}
            ${icon_dir}/pelmora-192.png
            ${icon_dir}/pelmora-512.png
    VERBATIM)

# The favicon keeps its two small images as PNG, which every current browser reads in an .ico.
add_custom_command(OUTPUT ${page}/favicon.ico
    COMMAND ${CMAKE_COMMAND} -E make_directory ${page}
    COMMAND ${PELMORA_ICOTOOL} --create --output=${page}/favicon.ico
            --raw=${icon_dir}/pelmora-16.png --raw=${icon_dir}/pelmora-32.png
    DEPENDS ${icon_dir}/pelmora-16.png ${icon_dir}/pelmora-32.png
    COMMENT "Making the page's favicon.ico"
    VERBATIM)

# The program and its data also packed with gzip (-n: no name or time stamp, so that a rebuild
# of the same files gives the same bytes and the same service worker). A plain static server
# sends what it holds, so the page fetches the packed copies and unpacks them as they arrive
# (DecompressionStream); a browser without it fetches the plain files.
set(packed pelmora.js pelmora.wasm pelmora.data)
set(packed_paths "")
foreach(file IN LISTS packed)
    add_custom_command(OUTPUT ${page}/${file}.gz
        COMMAND gzip -9 -n -k -f ${page}/${file}
        DEPENDS ${page}/${file}
        VERBATIM)
    list(APPEND packed_paths ${page}/${file}.gz)
endforeach()

# What the page loads, all of it kept by the service worker (the packed or the plain copies).
set(loaded index.html page.js pelmora.js pelmora.wasm pelmora.data pelmora.js.gz pelmora.wasm.gz
    pelmora.data.gz pelmora.webmanifest favicon.ico icons/pelmora-192.png icons/pelmora-512.png)
list(TRANSFORM loaded PREPEND ${page}/ OUTPUT_VARIABLE loaded_paths)
list(JOIN loaded "," loaded_list)
add_custom_command(OUTPUT ${page}/sw.js
    COMMAND ${CMAKE_COMMAND} -DPAGE_DIR=${page} -DFILES=${loaded_list} -DVERSION=${PROJECT_VERSION}
            -DTEMPLATE=${web_dir}/sw.js.in -DOUTPUT=${page}/sw.js -P ${web_dir}/ServiceWorker.cmake
    DEPENDS ${loaded_paths} ${web_dir}/sw.js.in ${web_dir}/ServiceWorker.cmake
    COMMENT "Writing the page's service worker"
    VERBATIM)

set(zip ${CMAKE_BINARY_DIR}/${release}.zip)
add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${release}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${page}/pelmora.js ${copied_paths} ${packed_paths} ${page}/favicon.ico ${page}/sw.js
    COMMENT "Making ${release}.zip"
    VERBATIM)
add_custom_target(web_release ALL DEPENDS ${zip})
