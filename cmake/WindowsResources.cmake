# The Windows resources of an executable: the version record of the application record, the
# application icon and the manifest, compiled by MinGW's windres from a script generated for
# the executable.
#   zentrova_windows_resources(TARGET ORIGINAL_FILENAME name.exe INTERNAL_NAME name)
enable_language(RC)

function(zentrova_windows_resources target)
    cmake_parse_arguments(ARG "" "ORIGINAL_FILENAME;INTERNAL_NAME" "" ${ARGN})
    if(NOT ARG_ORIGINAL_FILENAME OR NOT ARG_INTERNAL_NAME)
        message(FATAL_ERROR "zentrova_windows_resources(${target}) needs ORIGINAL_FILENAME and "
            "INTERNAL_NAME")
    endif()
    set(ZENTROVA_RC_FILENAME "${ARG_ORIGINAL_FILENAME}")
    set(ZENTROVA_RC_INTERNAL_NAME "${ARG_INTERNAL_NAME}")
    set(ZENTROVA_MANIFEST_FILE ${PROJECT_SOURCE_DIR}/resources/windows/zentrova.manifest)
    set(script ${PROJECT_BINARY_DIR}/generated/windows/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/resources/windows/zentrova.rc.in ${script} @ONLY)

    # A library of its own, without the C++ warning flags, which windres does not take; an
    # object library, so that the linker keeps the resources though no code names them.
    add_library(${target}_windows_resources OBJECT ${script})
    target_include_directories(${target}_windows_resources PRIVATE ${PROJECT_SOURCE_DIR})
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS
        "${ZENTROVA_ICON_FILE};${ZENTROVA_MANIFEST_FILE};${PROJECT_SOURCE_DIR}/resources/windows_resource_ids.h")
    add_dependencies(${target}_windows_resources app_icon_file)
    target_link_libraries(${target} PRIVATE ${target}_windows_resources)
endfunction()
