# Test programs run under Wine. Every test program is registered once per kind of
# Windows it runs on:
#   win32  the 32-bit build in a 32-bit prefix (32-bit Windows)
#   wow64  the 32-bit build in a 64-bit prefix (a 32-bit program on 64-bit Windows)
#   x64    the 64-bit build of the same code in a 64-bit prefix
# win32 and wow64 need a kernel that executes 32-bit code (Wine's 32-bit loader is a
# 32-bit Linux program); where it cannot, only x64 runs and the test command says so.
# Each kind has its own prefix copied from a sandboxed template and one wineserver for
# the whole run, started and ended by CTest fixtures.

set(VEXA_WINE_TEST ${CMAKE_SOURCE_DIR}/tests/wine/wine-test.sh)
set(VEXA_TEST_TIMEOUT 600 CACHE STRING "Time limit of one test program in seconds")
# The signer of the stand-in suite (vexa_sign_after_build).
include(${CMAKE_CURRENT_LIST_DIR}/VexaHostTools.cmake)

# vexa_kind_bin_dir(<kind> <out-var>): the folder of programs that kind runs: the 64-bit
# build's for x64, the 32-bit build's otherwise.
function(vexa_kind_bin_dir kind out_var)
    if(kind STREQUAL "x64")
        set(${out_var} ${CMAKE_BINARY_DIR}/x64/bin PARENT_SCOPE)
    else()
        set(${out_var} ${CMAKE_BINARY_DIR}/bin PARENT_SCOPE)
    endif()
endfunction()

if(NOT VEXA_SUBBUILD AND VEXA_BUILD_TESTS)
    execute_process(COMMAND ${VEXA_WINE_TEST} probe-native32
                    RESULT_VARIABLE _native32 OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
    if(_native32 EQUAL 0)
        set(VEXA_TEST_KINDS win32 wow64 x64)
    else()
        set(VEXA_TEST_KINDS x64)
        message(STATUS "This machine cannot execute 32-bit code: tests run as the 64-bit build only")
    endif()
    file(WRITE ${CMAKE_BINARY_DIR}/test-kinds.txt "${VEXA_TEST_KINDS}\n")

    include(ExternalProject)
    ExternalProject_Add(x64build
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/x64
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64.cmake
                   -DVEXA_SUBBUILD=ON -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
                   -DVEXA_CACHE_ROOT=${VEXA_CACHE_ROOT}
                   -DVEXA_HOST_TOOLS_DIR=${VEXA_HOST_TOOLS_DIR}
        CMAKE_GENERATOR ${CMAKE_GENERATOR}
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        USES_TERMINAL_BUILD ON)
    if(TARGET vexa_host_tools)
        add_dependencies(x64build vexa_host_tools)
    endif()

    enable_testing()
    foreach(kind IN LISTS VEXA_TEST_KINDS)
        vexa_kind_bin_dir(${kind} _bin)
        add_test(NAME wine.setup.${kind} COMMAND ${VEXA_WINE_TEST} setup ${kind} ${CMAKE_BINARY_DIR} ${_bin})
        set_tests_properties(wine.setup.${kind} PROPERTIES FIXTURES_SETUP wine_${kind} TIMEOUT 600
                             RESOURCE_LOCK prefix_${kind})
        add_test(NAME wine.cleanup.${kind} COMMAND ${VEXA_WINE_TEST} cleanup ${kind} ${CMAKE_BINARY_DIR})
        set_tests_properties(wine.cleanup.${kind} PROPERTIES FIXTURES_CLEANUP wine_${kind} TIMEOUT 120
                             RESOURCE_LOCK prefix_${kind})
    endforeach()
endif()

# vexa_add_test_program(<target> SOURCES <files>... [LIBS <libs>...] [RC <rc-file>]
#                       [RC_DEPENDS <files>...] [RC_TARGETS <targets>...]
#                       [KINDS <kinds>...] [LOCKS <locks>...] [TIMEOUT <s>])
#   A GoogleTest program with the shared test main. LOCKS names resources the program
#   must not share with another test program running at the same time (for example
#   "display" for programs that move the real mouse).
function(vexa_add_test_program target)
    cmake_parse_arguments(T "" "RC;TIMEOUT" "SOURCES;LIBS;RC_DEPENDS;RC_TARGETS;KINDS;LOCKS" ${ARGN})
    add_executable(${target} ${T_SOURCES})
    target_link_libraries(${target} PRIVATE ${T_LIBS} vexa_test_support)
    if(T_RC)
        vexa_target_resources(${target} ${T_RC} DEPENDS ${T_RC_DEPENDS} TARGETS ${T_RC_TARGETS})
    endif()
    if(VEXA_SUBBUILD)
        return()
    endif()
    if(NOT T_KINDS)
        set(T_KINDS win32 wow64 x64)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT ${VEXA_TEST_TIMEOUT})
    endif()
    foreach(kind IN LISTS VEXA_TEST_KINDS)
        if(NOT kind IN_LIST T_KINDS)
            continue()
        endif()
        add_test(NAME ${target}.${kind}
                 COMMAND ${VEXA_WINE_TEST} run ${kind} ${CMAKE_BINARY_DIR} ${target}.exe)
        set_tests_properties(${target}.${kind} PROPERTIES
            FIXTURES_REQUIRED wine_${kind}
            TIMEOUT ${T_TIMEOUT}
            RESOURCE_LOCK "prefix_${kind};${T_LOCKS}")
    endforeach()
endfunction()

# vexa_add_standin(<target> SHARED|EXECUTABLE|WIN32 DIR <suite-relative-folder>
#                  [NAME <file-name-without-extension>] SOURCES <files>... [LIBS <libs>...]
#                  [UNSIGNED])
#   A stand-in for one of the suite's own components, built into
#   <build>/bin/suite/<folder>/ under the exact file name the suite uses, and signed
#   with the suite's trailer as the real files are (unless UNSIGNED).
function(vexa_add_standin target kind)
    cmake_parse_arguments(S "UNSIGNED" "DIR;NAME" "SOURCES;LIBS" ${ARGN})
    if(kind STREQUAL "SHARED")
        add_library(${target} SHARED ${S_SOURCES})
        set_target_properties(${target} PROPERTIES PREFIX "")
    elseif(kind STREQUAL "WIN32")
        add_executable(${target} WIN32 ${S_SOURCES})
    else()
        add_executable(${target} ${S_SOURCES})
    endif()
    target_link_libraries(${target} PRIVATE vexa_standin_journal ${S_LIBS})
    set(_dir ${CMAKE_BINARY_DIR}/bin/suite)
    if(S_DIR)
        set(_dir ${_dir}/${S_DIR})
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_dir} LIBRARY_OUTPUT_DIRECTORY ${_dir})
    if(S_NAME)
        set_target_properties(${target} PROPERTIES OUTPUT_NAME ${S_NAME})
    endif()
    if(NOT S_UNSIGNED)
        vexa_sign_after_build(${target})
    endif()
endfunction()
