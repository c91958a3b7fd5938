# Build-time conversion of the repository's UTF-8 documents into the UTF-16LE resources
# the program reads, and resource scripts that include generated files.

# vexa_utf16_document(<target> <utf8-source> <output-file>)
#   <target> is a custom target that keeps <output-file> up to date.
function(vexa_utf16_document target source output)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/utf16_text.py ${source} ${output}
        DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/utf16_text.py
        COMMENT "Converting ${source} to UTF-16LE"
        VERBATIM)
    add_custom_target(${target} DEPENDS ${output})
endfunction()

# vexa_target_resources(<target> <rc-file> [DEPENDS <files>...] [TARGETS <targets>...])
#   Compiles <rc-file> into <target>; the listed files are what the script includes, so
#   that a change to them rebuilds it (windres dependencies are not scanned).
function(vexa_target_resources target rc)
    cmake_parse_arguments(R "" "" "DEPENDS;TARGETS" ${ARGN})
    target_sources(${target} PRIVATE ${rc})
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/resources ${CMAKE_SOURCE_DIR}/resources)
    if(R_DEPENDS)
        set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${R_DEPENDS}")
    endif()
    if(R_TARGETS)
        add_dependencies(${target} ${R_TARGETS})
    endif()
endfunction()
