# The plug-in's layers: one library each, linked only downwards, and the include roots that hold
# every target to the headers it may use.
#
# No target has the repository's root as an include directory. Each gets an include root of its
# own in the build tree (build/<tree>/include/<target>), a folder of symbolic links to the parts
# of the source tree it may use, so that a wrong-way include such as `#include "ui/FCUI.h"` in
# pitch/ fails to compile ("No such file or directory") instead of merely being frowned upon.

# The layers from the bottom up. Each may use every layer below it and the rules (rules/,
# standard C++ only); VS_LAYER_PART_<layer> names what it adds to its include root: its folder
# (or, should a folder ever hold two layers, the single headers the lower one adds).
set(VS_LAYERS hostapi framework pitch state settings ui entry)
set(VS_LAYER_PART_hostapi hostapi)
set(VS_LAYER_PART_framework framework)
set(VS_LAYER_PART_pitch pitch)
set(VS_LAYER_PART_state state)
set(VS_LAYER_PART_settings settings)
set(VS_LAYER_PART_ui ui)
set(VS_LAYER_PART_entry shell)

# vs_include_root(TARGET SCOPE PARTS...) gives TARGET (with SCOPE: PUBLIC, PRIVATE or INTERFACE)
# an include root holding links to the named parts of the source tree only: folders ("pitch")
# or single headers ("folder/Header.h"; left out when its whole folder is named too).
function(vs_include_root target scope)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    set(parts ${ARGN})
    # Made afresh at every configuration, so that a part taken off the list is gone; removing
    # the links never touches the sources they point to.
    file(REMOVE_RECURSE ${root})
    foreach(part ${parts})
        if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${part})
            message(FATAL_ERROR "include root of ${target}: ${part} is not in the source tree")
        endif()
        string(FIND "${part}" "/" slash)
        if(NOT slash EQUAL -1)
            string(SUBSTRING "${part}" 0 ${slash} folder)
            if(folder IN_LIST parts)
                continue()
            endif()
        endif()
        get_filename_component(parent ${root}/${part} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${part} ${root}/${part} SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# vs_add_layer(LAYER [OBJECT] SOURCES...) makes the library vs_<LAYER>: static (a program takes
# the objects it uses), or OBJECT for the roof, whose exported entry points nothing references
# and which every module must carry whole. It links the layer right below it, and so, in turn,
# every layer down to the rules.
function(vs_add_layer layer)
    cmake_parse_arguments(ARG "OBJECT" "" "" ${ARGN})
    list(FIND VS_LAYERS ${layer} index)
    if(index EQUAL -1)
        message(FATAL_ERROR "${layer} is not one of the layers: ${VS_LAYERS}")
    endif()
    set(parts rules)
    foreach(i RANGE ${index})
        list(GET VS_LAYERS ${i} below)
        list(APPEND parts ${VS_LAYER_PART_${below}})
    endforeach()
    if(ARG_OBJECT)
        add_library(vs_${layer} OBJECT ${ARG_UNPARSED_ARGUMENTS})
    else()
        add_library(vs_${layer} STATIC ${ARG_UNPARSED_ARGUMENTS})
    endif()
    vs_configure_target(vs_${layer})
    vs_include_root(vs_${layer} PUBLIC ${parts})
    if(index EQUAL 0)
        target_link_libraries(vs_${layer} PUBLIC vs_rules)
    else()
        math(EXPR lower "${index} - 1")
        list(GET VS_LAYERS ${lower} below)
        target_link_libraries(vs_${layer} PUBLIC vs_${below})
    endif()
endfunction()

# vs_layer_sources(VARIABLE) answers every source file of every layer (absolute paths), for the
# test modules that compile the whole plug-in again with other definitions.
function(vs_layer_sources variable)
    set(all)
    foreach(layer ${VS_LAYERS})
        get_target_property(sources vs_${layer} SOURCES)
        get_target_property(folder vs_${layer} SOURCE_DIR)
        foreach(source ${sources})
            if(NOT IS_ABSOLUTE ${source})
                set(source ${folder}/${source})
            endif()
            list(APPEND all ${source})
        endforeach()
    endforeach()
    set(${variable} ${all} PARENT_SCOPE)
endfunction()
