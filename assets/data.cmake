# The game's data files as a run directory holds them: each texture with its wrap mode and pixel
# format, and the font. Included by the build that makes them (assets/CMakeLists.txt) and by the
# web build, which packs those of its native sub-build into the page's data (platform/web).

set(PELMORA_TEXTURE_DIR textures/w_tavelina)
# name, wrap mode, pixel format. The background must repeat: the game tiles it 8 x 6 times.
set(PELMORA_TEXTURES
    petal repeat rgb
    center repeat rgb
    bg1 repeat rgb
    logo clamp rgba
    cursor clamp rgba)
set(PELMORA_FONT_FILE data/graffiti.glf)

# pelmora_data_files(<variable> <run directory>): the paths of the data files in a run directory.
function(pelmora_data_files variable directory)
    set(files)
    list(LENGTH PELMORA_TEXTURES count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 3)
        list(GET PELMORA_TEXTURES ${i} name)
        list(APPEND files ${directory}/${PELMORA_TEXTURE_DIR}/${name}.glt)
    endforeach()
    list(APPEND files ${directory}/${PELMORA_FONT_FILE})
    set(${variable} ${files} PARENT_SCOPE)
endfunction()
