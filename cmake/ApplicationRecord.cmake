# The program's identity, written once: the version comes from project(), the texts from
# here. The C++ record, the desktop entry, the AppStream metadata, the manual pages and the
# package all take their name, summary and version from these variables.
set(ZENTROVA_TITLE "Zentrova")
set(ZENTROVA_PRODUCT_NAME "Zentrova")
set(ZENTROVA_INTERNAL_NAME "Zentrova")
set(ZENTROVA_ORIGINAL_FILENAME "Zentrova.exe")
set(ZENTROVA_FILE_DESCRIPTION
    "Convert pictures to icons and icons to pictures with this little tool")
set(ZENTROVA_COMMENTS
    "Convert pictures to icons and icons to pictures with this little tool.")
set(ZENTROVA_VENDOR "The Zentrova developers")
set(ZENTROVA_CONTACT "${ZENTROVA_VENDOR} <zentrova@example.org>")
# The licence, as an SPDX identifier; its text is LICENSE at the top of the source tree.
set(ZENTROVA_LICENSE "MIT")
# Who holds it: the "Copyright (c) ..." line of LICENSE, which the package's copyright file
# and the Windows version resource repeat.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE ZENTROVA_LICENSE_FILE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
if(NOT ZENTROVA_LICENSE_FILE MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
    message(FATAL_ERROR "LICENSE has no \"Copyright (c) ...\" line followed by its text")
endif()
set(ZENTROVA_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
set(ZENTROVA_LICENSE_BODY "${CMAKE_MATCH_2}")
# The day this version was released, for the AppStream metadata.
set(ZENTROVA_RELEASE_DATE "2026-12-07")

# "1.00.0038": the minor number in two digits and the revision in four.
function(zentrova_zero_padded out value width)
    string(LENGTH "${value}" length)
    while(length LESS width)
        string(PREPEND value "0")
        math(EXPR length "${length} + 1")
    endwhile()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()
zentrova_zero_padded(minor ${PROJECT_VERSION_MINOR} 2)
zentrova_zero_padded(revision ${PROJECT_VERSION_PATCH} 4)
set(ZENTROVA_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${minor}.${revision}")

# Manual pages and package summaries start in lower case and end without a full stop.
string(SUBSTRING "${ZENTROVA_FILE_DESCRIPTION}" 0 1 first)
string(SUBSTRING "${ZENTROVA_FILE_DESCRIPTION}" 1 -1 rest)
string(TOLOWER "${first}" first)
set(ZENTROVA_SUMMARY "${first}${rest}")

# The texts land in C++ string literals, XML, roff and the Windows resource script unescaped:
# keep them plain.
foreach(text TITLE PRODUCT_NAME INTERNAL_NAME ORIGINAL_FILENAME FILE_DESCRIPTION COMMENTS VENDOR
        COPYRIGHT_HOLDER)
    if(ZENTROVA_${text} MATCHES "[\"\\\\<>&]")
        message(FATAL_ERROR "ZENTROVA_${text} needs escaping: ${ZENTROVA_${text}}")
    endif()
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/resources/application_record.h.in
    ${PROJECT_BINARY_DIR}/generated/resources/application_record.h @ONLY)
target_include_directories(zentrova_options INTERFACE ${PROJECT_BINARY_DIR}/generated)
