# Run by CPack on its staging folder before it packs: Debian wants manual pages
# and the changelog compressed at the highest level, without a time stamp. An
# ordinary install keeps them as they are.
find_program(GZIP_PROGRAM gzip REQUIRED)
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
    if(file MATCHES "/share/man/man[1-9]/[^/]+\\.[1-9]$" OR file MATCHES "/share/doc/velkor32/changelog$")
        execute_process(COMMAND ${GZIP_PROGRAM} -9 -n -f ${file} RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "cannot compress ${file}")
        endif()
    endif()
endforeach()
