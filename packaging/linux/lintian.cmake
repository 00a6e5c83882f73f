# Run by CPack after it made the Debian package: a package in which lintian finds an error or a
# warning is not released. Lintian leaves cache files in TMPDIR, so it gets one of its own.
set(scratch ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/lintian)
file(MAKE_DIRECTORY ${scratch})
foreach(package ${CPACK_PACKAGE_FILES})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${scratch}
        lintian --fail-on error,warning --info ${package}
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        file(REMOVE_RECURSE ${scratch})
        message(FATAL_ERROR "lintian rejects ${package}")
    endif()
endforeach()
file(REMOVE_RECURSE ${scratch})
