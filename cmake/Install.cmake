# What `cmake --install` puts in place, and the Debian package `cpack -G DEB` makes of it.
# The installed program finds its machine hive in <prefix>/share/zentrova beside its bin
# folder; platform/system/CMakeLists.txt installs it there.
include(GNUInstallDirs)

set(ZENTROVA_APP_ID org.zentrova.Zentrova)

install(TARGETS zentrova-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET zentrova)
    install(TARGETS zentrova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${ZENTROVA_DESKTOP_DIR}/${ZENTROVA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${ZENTROVA_DESKTOP_DIR}/${ZENTROVA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 32 64 128 256)
        install(FILES ${ZENTROVA_ICON_THEME_DIR}/${size}x${size}/${ZENTROVA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()
install(FILES ${ZENTROVA_ICON_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/zentrova)
install(FILES ${ZENTROVA_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Where a Debian system looks for a package's terms. The test corpora are not installed, so
# they are not in it.
install(FILES ${ZENTROVA_COPYRIGHT_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentrova)

# The Debian package: dpkg-shlibdeps finds the libraries the programs need.
set(CPACK_PACKAGE_NAME zentrova)
set(CPACK_PACKAGE_VENDOR "${ZENTROVA_VENDOR}")
set(CPACK_PACKAGE_CONTACT "${ZENTROVA_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${ZENTROVA_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION
    "Zentrova is a small desktop tool that turns a JPEG, GIF, BMP, PNG or cursor file into a
32 x 32 .ICO file whose key colour is transparent, and an .ICO file into a .BMP file.
zentrova-convert does the same from the command line, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a Qt platform plugin, which no library of ours links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The About dialog's "System Info..." starts it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "hardinfo")
set(CPACK_GENERATOR DEB)
# cpack installs the rules of no named component ("Unspecified": all of ours), so that it
# writes install_manifest_Unspecified.txt. A `cmake --install` run as root leaves
# install_manifest.txt owned by root in the build tree, which the user's cpack could not
# write.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
