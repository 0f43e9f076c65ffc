# Registry stand-in, directory search and program start: the system services the About
# dialog uses. No Qt here.
add_library(platform_services STATIC
    ${CMAKE_CURRENT_LIST_DIR}/dir.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell.cpp
)
add_library(platform::services ALIAS platform_services)
target_link_libraries(platform_services PUBLIC platform::errors zentrova::options)

# The machine hive lives in share/zentrova beside the program's bin folder. The build tree
# gets a copy at the same place relative to its own executables' folders (build/app,
# build/bin), so a program run from the build finds it too.
set(ZENTROVA_MACHINE_HIVE ${PROJECT_SOURCE_DIR}/resources/registry/machine.reg)
configure_file(${ZENTROVA_MACHINE_HIVE} ${PROJECT_BINARY_DIR}/share/zentrova/machine.reg COPYONLY)
include(GNUInstallDirs)
install(FILES ${ZENTROVA_MACHINE_HIVE} DESTINATION ${CMAKE_INSTALL_DATADIR}/zentrova)
