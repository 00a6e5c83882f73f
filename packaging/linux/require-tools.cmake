# Run by CPack before it builds the Debian package: the tools that packaging runs are Debian
# packages like any other build dependency, so a missing one is named by its package.
foreach(tool_and_package dpkg-shlibdeps:dpkg-dev lintian:lintian)
    string(REPLACE ":" ";" pair ${tool_and_package})
    list(GET pair 0 tool)
    list(GET pair 1 package)
    find_program(found ${tool} NO_CACHE)
    if(NOT found)
        message(FATAL_ERROR "${tool} is missing: install the Debian package '${package}' "
                            "(scripts/deps.sh lists every package the build needs)")
    endif()
    unset(found)
endforeach()
