# Toolchain of the web preset: Emscripten's own toolchain file, wherever emcc is installed
# (Debian: /usr/share/emscripten). Debian's node does not search Debian's module directory, where
# the optimizer's acorn lives, so the link step gets NODE_PATH.
execute_process(COMMAND em-config EMSCRIPTEN_ROOT OUTPUT_VARIABLE emscripten_root
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE em_config_failed)
if(em_config_failed OR NOT EXISTS "${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake")
    message(FATAL_ERROR "Emscripten not found: em-config is missing (Debian package: emscripten)")
endif()
include("${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake")
if(EXISTS /usr/share/nodejs)
    set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()
