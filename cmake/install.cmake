# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later

# What `cmake --install` puts where, and the Debian package CPack makes of it.
set(VEXA_APP_ID org.example.vexahelper)
set(VEXA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vexa-helper)
set(VEXA_LINUX_DIR ${PROJECT_SOURCE_DIR}/resources/linux)

install(TARGETS vexa-helper RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Private to the program (--demo starts it), so not on the PATH.
install(TARGETS vexa-sample-service RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vexa-helper)
# The pictures are compiled into the program; the skin stays a file to edit.
install(FILES ${PROJECT_SOURCE_DIR}/resources/1.she DESTINATION ${VEXA_DATA_DIR})
install(FILES ${VEXA_LINUX_DIR}/${VEXA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${VEXA_LINUX_DIR}/${VEXA_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${VEXA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${VEXA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME ${VEXA_APP_ID}.png)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${VEXA_APP_ID}.svg)
# Debian wants manual pages compressed.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/vexa-helper.1.gz
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${VEXA_LINUX_DIR}/vexa-helper.1 > ${PROJECT_BINARY_DIR}/vexa-helper.1.gz
    DEPENDS ${VEXA_LINUX_DIR}/vexa-helper.1)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${VEXA_LINUX_DIR}/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
    DEPENDS ${VEXA_LINUX_DIR}/changelog)
add_custom_target(vexa_packaged_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/vexa-helper.1.gz ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/vexa-helper.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${VEXA_LINUX_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexa-helper)

set(CPACK_PACKAGE_NAME vexa-helper)
set(CPACK_PACKAGE_VENDOR Quorlen)
set(CPACK_PACKAGE_CONTACT "Vexa helper developers <vexa-helper@quorlen.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Look up, play and save sounds shared on Vexa")
# One string: CPack turns its lines into the control file's continuation lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A small desktop tool for the Vexa sound-sharing service: paste a sound page\n"
    "address to see the sound's record and cover, play it, copy its file address\n"
    "or download it, and browse the fifteen sounds the service recommends. The\n"
    "same program has a command line for scripts (info, hot, download) and a\n"
    "built-in sample service (--demo) to try it without a network.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt, the HTTP library and the C++ runtime come from dpkg-shlibdeps; the
# player's GStreamer plugins are loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
# The texts are Chinese; any CJK font will do. The demo service's AAC sample
# needs an AAC encoder (the other formats' come with the plugins above).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei, gstreamer1.0-plugins-bad | gstreamer1.0-libav")
set(CPACK_GENERATOR DEB)
include(CPack)
