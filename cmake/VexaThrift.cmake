# The tray service interface: C++ stubs generated at build time from src/suite/ktray.thrift
# (never committed), built into vexa_ktray against the Thrift library that
# scripts/bootstrap builds for this MinGW target.

if(NOT EXISTS ${VEXA_THRIFT_ROOT}/lib/libthrift.a)
    message(FATAL_ERROR "No Thrift library in ${VEXA_THRIFT_ROOT}: run scripts/bootstrap first")
endif()
find_program(VEXA_THRIFT_COMPILER thrift REQUIRED)

# Thrift's headers need a few header-only Boost parts; only Boost, never the rest of the
# host's /usr/include, may reach the cross build. Its Windows sources name the system
# headers in mixed case, which MinGW spells in lower case.
set(_compat ${CMAKE_BINARY_DIR}/thrift-compat)
file(MAKE_DIRECTORY ${_compat}/boost-only ${_compat}/casefix)
if(NOT EXISTS ${_compat}/boost-only/boost)
    file(CREATE_LINK /usr/include/boost ${_compat}/boost-only/boost SYMBOLIC)
endif()
foreach(_h Windows Shlwapi AccCtrl Aclapi WS2tcpip Winsock2 WinSock2 MSWSock Sddl)
    string(TOLOWER ${_h} _lower)
    file(CONFIGURE OUTPUT ${_compat}/casefix/${_h}.h CONTENT "#include <${_lower}.h>\n")
endforeach()

add_library(thrift_mingw STATIC IMPORTED GLOBAL)
set_target_properties(thrift_mingw PROPERTIES
    IMPORTED_LOCATION ${VEXA_THRIFT_ROOT}/lib/libthrift.a
    INTERFACE_INCLUDE_DIRECTORIES "${VEXA_THRIFT_ROOT}/include;${_compat}/boost-only;${_compat}/casefix"
    INTERFACE_LINK_LIBRARIES "ws2_32;advapi32;shlwapi")

set(_gen ${CMAKE_BINARY_DIR}/generated/ktray)
set(_idl ${CMAKE_SOURCE_DIR}/src/suite/ktray.thrift)
set(_stubs ${_gen}/ktray_types.cpp ${_gen}/KTrayService.cpp ${_gen}/KTrayClient.cpp)
add_custom_command(
    OUTPUT ${_stubs} ${_gen}/ktray_types.h ${_gen}/KTrayService.h ${_gen}/KTrayClient.h
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}
    COMMAND ${VEXA_THRIFT_COMPILER} --gen cpp:no_skeleton -out ${_gen} ${_idl}
    DEPENDS ${_idl}
    COMMENT "Generating the tray service stubs"
    VERBATIM)
add_library(vexa_ktray STATIC ${_stubs})
target_include_directories(vexa_ktray PUBLIC ${_gen})
target_link_libraries(vexa_ktray PUBLIC thrift_mingw)
# Generated code is not ours to keep warning-free.
target_compile_options(vexa_ktray PRIVATE -w)
