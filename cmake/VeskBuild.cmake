# Compiler settings shared by every target, and the helpers that declare tests.

# The trees whose test programs run under Wine: the 64-bit twin (win64) and the 32-bit test
# programs with the stand-in host (win32-hosted), which load the win32 tree's shipping module
# instead of building a module of their own.
if(VS_TARGET STREQUAL "win64" OR VS_TARGET STREQUAL "win32-hosted")
    set(VS_WINE_TESTS ON)
else()
    set(VS_WINE_TESTS OFF)
endif()

set(VS_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

if(VS_TARGET STREQUAL "native" AND VS_SANITIZE)
    set(VS_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
else()
    set(VS_SANITIZERS)
endif()

# vs_configure_target(TARGET) gives a target the project's warnings and sanitizers.
function(vs_configure_target target)
    target_compile_options(${target} PRIVATE ${VS_WARNINGS} ${VS_SANITIZERS})
    target_link_options(${target} PRIVATE ${VS_SANITIZERS})
    if(NOT VS_TARGET STREQUAL "native")
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
    endif()
endfunction()

# vs_link_static_runtime(TARGET) keeps the C and C++ runtimes inside a Windows binary, so that
# it imports system DLLs only.
function(vs_link_static_runtime target)
    if(NOT VS_TARGET STREQUAL "native")
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

# vs_add_gtest() brings in Debian's GoogleTest sources (no download at configure time).
macro(vs_add_gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    if(NOT VS_TARGET STREQUAL "native")
        set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    endif()
    if(VS_SANITIZERS)
        # GoogleTest must share the sanitizer runtime with the tests that link it.
        add_compile_options(${VS_SANITIZERS})
        add_link_options(${VS_SANITIZERS})
    endif()
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(CMAKE_CROSSCOMPILING)
        # Nobody steps into GoogleTest under Wine, and its debug sections made up a third of the
        # link time of every Windows test program (about 40 of them per tree).
        target_compile_options(gtest PRIVATE -g0)
        target_compile_options(gtest_main PRIVATE -g0)
    endif()
    if(VS_SANITIZERS)
        get_directory_property(_opts COMPILE_OPTIONS)
        list(REMOVE_ITEM _opts ${VS_SANITIZERS})
        set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_opts}")
        get_directory_property(_lopts LINK_OPTIONS)
        list(REMOVE_ITEM _lopts ${VS_SANITIZERS})
        set_directory_properties(PROPERTIES LINK_OPTIONS "${_lopts}")
    endif()
    if(VS_WINE_TESTS)
        set(VS_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
        # 32-bit programs may run through qemu's emulator, where a start can fail silently.
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            set(VS_WINE_RUN_AGAIN 1)
        else()
            set(VS_WINE_RUN_AGAIN 0)
        endif()
        configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                       @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
    endif()
endmacro()

# The GoogleTest programs' cases are discovered as CTest tests named Suite.Test, or
# Prefix/Suite.Test/Name for a parameterised one (named by its suite's name generator);
# NO_PRETTY_VALUES keeps the parameter's printed value (for a struct, its bytes, pointers
# included) out of the name, so that a name is the same in every build.
# add_plugin_test(NAME LAYER layer SOURCES... [HOSTED] [LIBS libs...]) declares a GoogleTest
# program that links the plug-in's layer it tests (and so the layers below it, no higher), and
# may include the tests' own helpers. HOSTED programs also link the stand-in host, so that they
# are the host the plug-in's lookup finds (natively through -rdynamic; the Windows programs are
# named finale.exe in a folder of their own, since the plug-in looks for that module name).
function(add_plugin_test name)
    cmake_parse_arguments(ARG "HOSTED" "LAYER" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_LAYER)
        message(FATAL_ERROR "add_plugin_test(${name}): LAYER names the layer the test links")
    endif()
    add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
    vs_configure_target(${name})
    target_link_libraries(${name} PRIVATE vs_${ARG_LAYER} vs_test_support GTest::gtest_main
                          ${ARG_LIBS})
    vs_link_static_runtime(${name})
    if(ARG_HOSTED)
        target_link_libraries(${name} PRIVATE vs_host)
        set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
        if(NOT VS_TARGET STREQUAL "native")
            # The import library goes beside the program: two finale.exe must not share one.
            set_target_properties(${name} PROPERTIES OUTPUT_NAME finale
                                  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/hosted/${name}
                                  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/hosted/${name})
        endif()
    endif()
    if(VS_TARGET STREQUAL "native")
        include(GoogleTest)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
endfunction()

# vs_add_fuzzer(NAME LAYER SOURCES...) declares a libFuzzer program of the fuzzing build that links
# the plug-in's layer it feeds. It exports its functions, since the plug-in finds the host's
# (such as a fuzzer's own FX_GetFinalePath) among the program's exports.
function(vs_add_fuzzer name layer)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE vs_${layer} vs_test_support)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
endfunction()

# add_host_test(NAME SOURCES...) declares a GoogleTest program for the stand-in host alone; it
# never links the plug-in's code.
function(add_host_test name)
    add_executable(${name} ${ARGN})
    vs_configure_target(${name})
    target_link_libraries(${name} PRIVATE vs_host GTest::gtest_main)
    vs_link_static_runtime(${name})
    if(VS_TARGET STREQUAL "native")
        include(GoogleTest)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
endfunction()

# vs_uses_wine_desktop(TEST...) marks tests whose programs show windows on the tree's Wine desktop:
# the dialog, message boxes, the host's windows. One prefix has one desktop, where a window of
# one process can take the focus from another's or be answered in its place, so these take one
# lock and run one at a time; the tests that show nothing run beside them (ctest -j). The win64
# and win32-hosted trees have prefixes, and so desktops, of their own.
function(vs_uses_wine_desktop)
    set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK wine_desktop)
endfunction()
