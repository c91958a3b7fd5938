# Host-side tools (tools/) and the signing of the stand-in suite.
#
# The tools are built natively, with the build machine's own compiler, as an external
# project of the main build; never with the MinGW toolchain. The 64-bit test build uses
# the main build's tools (VEXA_HOST_TOOLS_DIR is handed to it).
#
# vexa_sign_after_build(<target> [<signer options>...])
#   Puts the suite's signed trailer on <target>'s file right after it is linked, with
#   the key VEXA_SIGNING_KEY. vexa_add_standin calls it for every stand-in not declared
#   UNSIGNED.
include_guard(GLOBAL)

set(VEXA_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools CACHE PATH "Where the host-side tools are built")
set(VEXA_SIGNING_KEY ${CMAKE_SOURCE_DIR}/tests/keys/development-signing-key.pem CACHE FILEPATH
    "Private key that signs the stand-in suite (default: the development key)")
set(VEXA_SIGNER ${VEXA_HOST_TOOLS_DIR}/vexa-sign-trailer)
set(VEXA_HAVE_SIGNER OFF)
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
    set(VEXA_HAVE_SIGNER ON)
endif()

if(VEXA_HAVE_SIGNER AND NOT VEXA_SUBBUILD)
    include(ExternalProject)
    find_program(VEXA_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
    ExternalProject_Add(vexa_host_tools
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
        BINARY_DIR ${VEXA_HOST_TOOLS_DIR}
        CMAKE_ARGS -DCMAKE_CXX_COMPILER=${VEXA_HOST_CXX} -DCMAKE_BUILD_TYPE=Release
        CMAKE_GENERATOR ${CMAKE_GENERATOR}
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${VEXA_SIGNER}
        INSTALL_COMMAND "")
endif()

function(vexa_sign_after_build target)
    if(NOT VEXA_HAVE_SIGNER)
        return()
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${VEXA_SIGNER} sign --key ${VEXA_SIGNING_KEY} ${ARGN} $<TARGET_FILE:${target}>
        VERBATIM)
    # A new signer or key signs afresh: the file is linked again first.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${VEXA_SIGNER} ${VEXA_SIGNING_KEY})
    if(TARGET vexa_host_tools)
        add_dependencies(${target} vexa_host_tools)
    endif()
endfunction()
