# What "cmake --install" puts on a machine and "cpack -G DEB" packs: the three
# programs, the desktop entry, the ".bcf" document type with its icon, the
# program's icons in the hicolor theme and the user manual. The desktop's own
# caches (MIME database, desktop entries, icon cache) are brought up to date
# by the package manager's triggers when installed as a package.
include(GNUInstallDirs)

install(TARGETS quillon quillon-cli quillon-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QUILLON_DESKTOP_DIR ${CMAKE_CURRENT_SOURCE_DIR}/desktop)
install(FILES ${QUILLON_DESKTOP_DIR}/quillon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLON_DESKTOP_DIR}/quillon-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME quillon.xml)
install(DIRECTORY ${QUILLON_DESKTOP_DIR}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN "*.png")
# The manual is built into the program as well; the installed copy is for
# reading in a browser.
install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/docs/manual/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon/manual
        FILES_MATCHING PATTERN "*.html" PATTERN "*.css")

# --- the Debian package ---------------------------------------------------------
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "Quillon")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Programmer for P25 / FM base-station transceiver cards")
set(CPACK_PACKAGE_DESCRIPTION
    "The Quillon Radio Programmer prepares the configuration of a base-station\n\
transceiver card (channel table, squelch groups, tone remote list, encryption\n\
keys and radio-wide settings), keeps it in .bcf documents, exchanges the channel\n\
table as CSV, prints it, and reads it from or writes it into the card over a\n\
serial line, directly or through a dial-up modem. quillon-cli does the same\n\
from the command line; quillon-sim is a simulated card for trying it out.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The debugging information stays in the build tree.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillon maintainers <maintainers@quillon.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link come from dpkg-shlibdeps; Qt's
# platform plugins are loaded at run time, so no link shows them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
include(CPack)
