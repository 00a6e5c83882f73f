# The Debian release, laid out as Debian lays out games: the program in lib/games/pelmora, its
# data in share/games/pelmora, and in games/ a launcher that gives each player a run directory.
# `cmake --install` makes the same tree under any prefix; CPack's DEB generator wraps /usr.

set(PELMORA_INSTALL_LAUNCHER_DIR games)
set(PELMORA_INSTALL_PROGRAM_DIR lib/games/pelmora)
set(PELMORA_INSTALL_DATA_DIR share/games/pelmora)
set(PELMORA_INSTALL_DOC_DIR share/doc/pelmora)
set(out ${CMAKE_BINARY_DIR}/packaging)

# The game's id for software centres: AppStream wants a reverse-DNS name, the desktop file and the
# metainfo named after it. The project has no domain of its own; io.github.pelmora is the name
# under the code host that AppStream and the desktop-entry rules suggest for such a project, and
# it must not change once released, or software centres take it for another program. The package,
# the launcher and the icon stay "pelmora".
set(PELMORA_APP_ID io.github.pelmora.Pelmora)

# Texts with the version or the licences in them, made when configuring.
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.in ${out}/pelmora @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.6.in ${out}/pelmora.6 @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.metainfo.xml.in
    ${out}/${PELMORA_APP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${out}/changelog COPYONLY)

# Debian's copyright file carries the full text of each licence, as its format asks: taken from
# LICENSE (without its copyright line) and the font's OFL.txt, each line indented by one space
# and an empty line written as " .".
function(pelmora_copyright_text file skip_to variable)
    file(READ ${file} text)
    string(FIND "${text}" "${skip_to}" start)
    string(SUBSTRING "${text}" ${start} -1 text)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n\n" "\n.\n" text "${text}")
    string(REGEX REPLACE "\n\n" "\n.\n" text "${text}") # again for runs of empty lines
    string(REPLACE "\n" "\n " text "${text}")
    set(${variable} " ${text}" PARENT_SCOPE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()
pelmora_copyright_text(${CMAKE_SOURCE_DIR}/LICENSE "This software" PELMORA_ZLIB_TEXT)
pelmora_copyright_text(${CMAKE_SOURCE_DIR}/assets/fonts/OFL.txt "SIL OPEN FONT LICENSE"
    PELMORA_OFL_TEXT)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${out}/copyright @ONLY)

# Debian wants manual pages and changelogs compressed with gzip -9, without a time stamp.
add_custom_command(OUTPUT ${out}/pelmora.6.gz ${out}/changelog.gz
    COMMAND gzip -9 -n -f -k ${out}/pelmora.6 ${out}/changelog
    DEPENDS ${out}/pelmora.6 ${out}/changelog
    COMMENT "Compressing the manual page and the changelog"
    VERBATIM)
add_custom_target(package_files DEPENDS ${out}/pelmora.6.gz ${out}/changelog.gz)
add_dependencies(pelmora package_files)

install(TARGETS pelmora RUNTIME DESTINATION ${PELMORA_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/textures ${CMAKE_BINARY_DIR}/data
    DESTINATION ${PELMORA_INSTALL_DATA_DIR})
install(PROGRAMS ${out}/pelmora DESTINATION ${PELMORA_INSTALL_LAUNCHER_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/pelmora.desktop DESTINATION share/applications
    RENAME ${PELMORA_APP_ID}.desktop)
install(FILES ${out}/${PELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 48 64 128 256)
    install(FILES ${PELMORA_ICON_DIR}/pelmora-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME pelmora.png)
endforeach()
install(FILES ${out}/pelmora.6.gz DESTINATION share/man/man6)
install(FILES ${out}/copyright ${out}/changelog.gz DESTINATION ${PELMORA_INSTALL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package's file name, also where the package tests look for it.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE PELMORA_DEB_ARCHITECTURE
    OUTPUT_STRIP_TRAILING_WHITESPACE)
set(PELMORA_DEB_FILE
    ${CMAKE_BINARY_DIR}/pelmora_${PROJECT_VERSION}_${PELMORA_DEB_ARCHITECTURE}.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${PELMORA_DEB_ARCHITECTURE})
get_filename_component(CPACK_DEBIAN_FILE_NAME ${PELMORA_DEB_FILE} NAME)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELMORA_MAINTAINER}")
# CPack writes the summary as the first line; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A flower with a random number of petals, 20 to 49, stands on a meadow. Every
left click on a petal plucks it, and the answer flips between loves and loves
not. When the last petal is gone, the verdict stands in large letters in the
middle of the screen. The game's texts are in Russian.
.
Pelmora runs full screen in the desktop's current display mode and needs an
OpenGL driver.")
# The run-time libraries come from what the binary links (dpkg-shlibdeps), with one addition:
# SDL opens libGL.so.1 itself when it makes the GLX context, which no link shows, and libgl1
# brings with it the Mesa driver that a bare system would lack.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
# The box in which the game says why it cannot start is SDL's own on X, drawn with the X server's
# core fonts, which a system installed without recommended packages lacks (Xorg and Xwayland only
# recommend them); without them SDL hands the box to zenity, so either lets the player read it.
# Debian's policy allows a package only to recommend X font packages, which apt installs unless
# told not to. xfonts-base comes first, as apt brings the first alternative when none is there:
# a few megabytes, where zenity brings a web engine with it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base | zenity")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/require-tools.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/lintian.cmake)

# The Windows zip, made by the windows preset, which this build's tests unpack and play.
# Empty means this version's zip of the windows preset, so that a build directory made before a
# version change does not go on testing the old one.
set(PELMORA_WINDOWS_ZIP "" CACHE FILEPATH
    "The Windows release zip that the package tests check (empty: the windows preset's own)")
if(NOT PELMORA_WINDOWS_ZIP)
    set(PELMORA_WINDOWS_ZIP
        ${CMAKE_SOURCE_DIR}/build/windows/pelmora-${PROJECT_VERSION}-win64.zip)
endif()
