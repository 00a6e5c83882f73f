# Writes the page's service worker (cmake -P): sw.js.in with the cache's name and each file's
# size (a packed file's with its plain copy's). The name carries the version and a hash of the
# worker's list, of every file on it and of the worker's own code, so that any change to what the
# page loads (index.html alone included), a new release or a rebuild during development, makes a
# new worker with a cache of its own: no browser keeps answering with files of an older build,
# and a new worker that fails to install never deletes the cache that the one in charge still
# answers from.
#   cmake -DPAGE_DIR=dir -DFILES=a,b,... -DVERSION=x.y.z -DTEMPLATE=sw.js.in -DOUTPUT=sw.js -P ServiceWorker.cmake
string(REPLACE "," ";" files "${FILES}")
file(SHA256 ${TEMPLATE} hashes)
string(APPEND hashes "\n")
set(entries "")
foreach(file IN LISTS files)
    file(SIZE ${PAGE_DIR}/${file} size)
    file(SHA256 ${PAGE_DIR}/${file} hash)
    string(APPEND hashes "${file} ${hash}\n")
    if(entries)
        string(APPEND entries ",\n")
    endif()
    # A host may unpack a .gz file on its way (Content-Encoding: gzip): the plain size is good too.
    if(file MATCHES "^(.*)\\.gz$")
        file(SIZE ${PAGE_DIR}/${CMAKE_MATCH_1} plain)
        set(size "[${size}, ${plain}]")
    endif()
    string(APPEND entries "    \"${file}\": ${size}")
endforeach()
string(SHA256 hash "${hashes}")
string(SUBSTRING ${hash} 0 12 hash)
set(PELMORA_WEB_CACHE "pelmora-${VERSION}-${hash}")
set(PELMORA_WEB_FILES "{\n${entries}\n}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
