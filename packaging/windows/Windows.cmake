# The Windows release: pelmora.exe carries its icon, version information and application
# manifest, compiled in by MinGW's windres; CPack's ZIP generator packs the exe with the game's
# data, which the linux build makes (the cross-build has no native tools to make it).

# enable_language(RC) only says "no CMAKE_RC_COMPILER could be found"; name the package instead.
pelmora_require_program(PELMORA_WINDRES ${CMAKE_RC_COMPILER} binutils-mingw-w64-x86-64)
pelmora_require_program(PELMORA_ICOTOOL icotool icoutils)
enable_language(RC)

set(PELMORA_GAME_DATA_DIR ${CMAKE_SOURCE_DIR}/build/linux
    CACHE PATH "A linux build directory whose textures/ and data/ go into the zip")

# The .ico holds the sizes Explorer and the taskbar ask for. The 256-pixel image stays PNG inside
# the .ico, as Windows Vista and later expect; the small ones become bitmaps for older readers.
set(icon ${CMAKE_BINARY_DIR}/pelmora.ico)
add_custom_command(OUTPUT ${icon}
    COMMAND ${PELMORA_ICOTOOL} --create --output=${icon}
            ${PELMORA_ICON_DIR}/pelmora-16.png ${PELMORA_ICON_DIR}/pelmora-32.png
            ${PELMORA_ICON_DIR}/pelmora-48.png --raw=${PELMORA_ICON_DIR}/pelmora-256.png
    DEPENDS ${PELMORA_ICON_DIR}/pelmora-16.png ${PELMORA_ICON_DIR}/pelmora-32.png
            ${PELMORA_ICON_DIR}/pelmora-48.png ${PELMORA_ICON_DIR}/pelmora-256.png
    COMMENT "Making the program icon pelmora.ico"
    VERBATIM)

set(manifest ${CMAKE_BINARY_DIR}/pelmora.exe.manifest)
set(resources ${CMAKE_BINARY_DIR}/pelmora.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.exe.manifest.in ${manifest} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.rc.in ${resources} @ONLY)
target_sources(pelmora PRIVATE ${resources})
set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS "${icon};${manifest}")

# The zip: pelmora-<version>-win64/ holding the exe, its data and the texts a player needs. A
# player opens the texts in Notepad by double-click: each is a .txt with CR LF line ends, whatever
# the line ends of the project's own file.
pelmora_player_texts(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_BINARY_DIR})
install(TARGETS pelmora RUNTIME DESTINATION .)
install(CODE "
    foreach(dir textures data)
        if(NOT IS_DIRECTORY \"${PELMORA_GAME_DATA_DIR}/\${dir}\")
            message(FATAL_ERROR \"${PELMORA_GAME_DATA_DIR}/\${dir} is missing: build the linux \"
                \"preset first (cmake --preset linux && cmake --build --preset linux --target \"
                \"pelmora), or point PELMORA_GAME_DATA_DIR at a build that made the game's data\")
        endif()
    endforeach()")
install(DIRECTORY ${PELMORA_GAME_DATA_DIR}/textures ${PELMORA_GAME_DATA_DIR}/data DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt
    ${CMAKE_BINARY_DIR}/OFL.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME pelmora-${PROJECT_VERSION}-win64)
