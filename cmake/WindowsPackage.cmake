# The Windows installation: Zentrova.exe and zentrova-convert.exe side by side in one folder,
# packed by cpack (scripts/build-windows runs it) as a 64-bit NSIS installer and as a ZIP that
# runs from wherever it is unpacked. Every program is linked statically, so nothing else is
# needed beside them.
set(ZENTROVA_WINDOW_TARGET zentrova)
set(ZENTROVA_WINDOW_EXE Zentrova.exe)

install(TARGETS zentrova-convert RUNTIME DESTINATION .)
if(TARGET ${ZENTROVA_WINDOW_TARGET})
    install(TARGETS ${ZENTROVA_WINDOW_TARGET} RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_PACKAGE_VENDOR "${ZENTROVA_VENDOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${ZENTROVA_SUMMARY}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${ZENTROVA_PRODUCT_NAME}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${ZENTROVA_PRODUCT_NAME}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)

# A 64-bit installer, so that it installs under the 64-bit Program Files and writes the
# 64-bit registry.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "${ZENTROVA_PRODUCT_NAME}")
set(CPACK_NSIS_DISPLAY_NAME "${ZENTROVA_PRODUCT_NAME}")
set(CPACK_NSIS_CONTACT "${ZENTROVA_CONTACT}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)

if(TARGET ${ZENTROVA_WINDOW_TARGET})
    set(CPACK_NSIS_INSTALLED_ICON_NAME "${ZENTROVA_WINDOW_EXE}")
    set(CPACK_NSIS_MUI_ICON ${ZENTROVA_ICON_FILE})
    set(CPACK_NSIS_MUI_UNIICON ${ZENTROVA_ICON_FILE})
    set(CPACK_NSIS_MENU_LINKS "${ZENTROVA_WINDOW_EXE}" "${ZENTROVA_PRODUCT_NAME}")

    # "Open with" for the files the window opens, without taking any over: the program and the
    # types it supports under Applications, and a ProgID of ours among each type's
    # OpenWithProgids. No extension's own (default) value is written. SHCTX is HKLM for an
    # installation for all users, HKCU for one user.
    set(progid "${ZENTROVA_PRODUCT_NAME}.Picture")
    set(exe "${ZENTROVA_WINDOW_EXE}")
    set(name "${ZENTROVA_PRODUCT_NAME}")
    string(CONFIGURE [=[
WriteRegStr SHCTX "Software\Classes\@progid@" "" "@name@ picture"
WriteRegStr SHCTX "Software\Classes\@progid@\DefaultIcon" "" "$INSTDIR\@exe@,0"
WriteRegStr SHCTX "Software\Classes\@progid@\shell\open\command" "" '"$INSTDIR\@exe@" "%1"'
WriteRegStr SHCTX "Software\Classes\Applications\@exe@" "FriendlyAppName" "@name@"
WriteRegStr SHCTX "Software\Classes\Applications\@exe@\shell\open\command" "" '"$INSTDIR\@exe@" "%1"'
]=] install @ONLY)
    string(CONFIGURE [=[
DeleteRegKey SHCTX "Software\Classes\@progid@"
DeleteRegKey SHCTX "Software\Classes\Applications\@exe@"
]=] uninstall @ONLY)
    foreach(extension .jpg .jpeg .gif .bmp .cur .ico .png)
        string(CONFIGURE [=[
WriteRegStr SHCTX "Software\Classes\Applications\@exe@\SupportedTypes" "@extension@" ""
WriteRegNone SHCTX "Software\Classes\@extension@\OpenWithProgids" "@progid@"
]=] lines @ONLY)
        string(APPEND install "${lines}")
        # The type's keys go only when nothing but ours was in them.
        string(CONFIGURE [=[
DeleteRegValue SHCTX "Software\Classes\@extension@\OpenWithProgids" "@progid@"
DeleteRegKey /ifempty SHCTX "Software\Classes\@extension@\OpenWithProgids"
DeleteRegKey /ifempty SHCTX "Software\Classes\@extension@"
]=] lines @ONLY)
        string(APPEND uninstall "${lines}")
    endforeach()
    # Explorer rereads the associations.
    set(notify "System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'\n")
    # CPack writes these into a CMake file of its own, which reads them once more.
    foreach(script install uninstall)
        string(APPEND ${script} "${notify}")
        string(REPLACE "\\" "\\\\" ${script} "${${script}}")
        string(REPLACE "\"" "\\\"" ${script} "${${script}}")
    endforeach()
    set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "${install}")
    set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${uninstall}")
endif()

include(CPack)
# CPack's default name of both packages, without the extension, for the tests; include(CPack)
# leaves CPACK_PACKAGE_FILE_NAME naming the source package.
set(ZENTROVA_WINDOWS_PACKAGE ${PROJECT_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}-win64)
