# Brings targets of another build tree up to date (configuring that tree from its preset when it
# has never been), for tests of this tree that run what that tree makes: the 32-bit tests load
# the win32 tree's shipping module and compare their sessions with the win64 tree's.
# Variables: SOURCE (the source tree), PRESET, TREE (its build folder), TARGETS (a list).
# Does nothing when the environment has VS_TREES_BUILT_BY_CALLER=1: scripts/run-tests.sh builds
# every tree itself, side by side, and two builds in one tree at once would collide.
if("$ENV{VS_TREES_BUILT_BY_CALLER}" STREQUAL "1")
    return()
endif()
if(NOT EXISTS ${TREE}/build.ninja)
    execute_process(COMMAND ${CMAKE_COMMAND} --preset ${PRESET} -B ${TREE}
                    WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE code OUTPUT_QUIET)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "cannot configure the ${PRESET} tree ${TREE}")
    endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${TREE} --target ${TARGETS} RESULT_VARIABLE code)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "cannot build ${TARGETS} in ${TREE}")
endif()
