# Brings the shipping module up to date in its own tree (configured from the win32 preset when
# it has never been), for the 32-bit tests of another tree that load it.
# Variables: SOURCE (the source tree), TREE (the win32 build tree).
if(NOT EXISTS ${TREE}/build.ninja)
    execute_process(COMMAND ${CMAKE_COMMAND} --preset win32 -B ${TREE}
                    WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE code OUTPUT_QUIET)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "cannot configure the shipping tree ${TREE}")
    endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${TREE} --target VeskSorvel RESULT_VARIABLE code)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "cannot build the shipping module in ${TREE}")
endif()
