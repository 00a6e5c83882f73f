# What a player downloads: the Debian package (linux preset) and the Windows zip (windows preset),
# both made by CPack from this build's install rules, so that `cmake --install` lays out exactly
# what the package holds. The program itself learns nothing about install paths: the zip keeps
# the exe beside its data, and the Debian launcher gives each player a run directory.

set(PELMORA_AUTHORS "The Pelmora developers")
set(PELMORA_COPYRIGHT "Copyright (c) 2026 ${PELMORA_AUTHORS}")
set(PELMORA_MAINTAINER "Pelmora maintainers <maintainers@users.noreply.c-seed-58de8dc8.example>")
set(PELMORA_SUMMARY "loves me, loves me not: pluck the petals of a flower")
set(PELMORA_RELEASE_DATE 2026-12-09)
set(PELMORA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(PELMORA_ICON_DIR ${CMAKE_SOURCE_DIR}/assets/icons)

# A packaging tool is a Debian package like any build dependency: when one is missing, say which
# package brings it. scripts/deps.sh lists them all.
function(pelmora_require_program variable program package)
    find_program(${variable} ${program})
    if(NOT ${variable})
        message(FATAL_ERROR "${program} is missing: install the Debian package '${package}' "
                            "(scripts/deps.sh lists every package the build needs)")
    endif()
endfunction()

# A text that a player opens by double-click, in Notepad as likely as not: a copy with CR LF line
# ends, whatever the line ends of the project's own file.
function(pelmora_crlf_text source destination)
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${destination} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

# The texts a zip gives the player, made in directory: README.txt from the zip's own template,
# and the licences LICENSE.txt and OFL.txt, all with CR LF line ends (the Windows and the web
# zips).
function(pelmora_player_texts readme_template directory)
    configure_file(${readme_template} ${directory}/README.txt @ONLY NEWLINE_STYLE CRLF)
    pelmora_crlf_text(${CMAKE_SOURCE_DIR}/LICENSE ${directory}/LICENSE.txt)
    pelmora_crlf_text(${CMAKE_SOURCE_DIR}/assets/fonts/OFL.txt ${directory}/OFL.txt)
endfunction()

# Directories made by an install get these permissions whatever the umask, as Debian requires.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VENDOR "${PELMORA_AUTHORS}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PELMORA_SUMMARY}")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)

if(WIN32)
    include(${PELMORA_PACKAGING_DIR}/windows/Windows.cmake)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    include(${PELMORA_PACKAGING_DIR}/linux/Linux.cmake)
else()
    return() # no release package is made for this platform
endif()

include(CPack)
