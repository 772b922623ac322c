# Installation and the Debian package. The program finds the three platform
# libraries in <prefix>/lib/tn6820fp through its run path; real libraries put
# in their place are used without rebuilding anything.
include(GNUInstallDirs)
set(SFP_PLATFORM_LIBDIR lib/tn6820fp)

install(TARGETS tn6820fp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS visa64 tn6820_64 tn6800_64 LIBRARY DESTINATION ${SFP_PLATFORM_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/tn6820fp.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tn6820fp.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tn6820fp@2x.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME tn6820fp.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/invalid.morvix.tn6820fp.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# What Debian's policy asks of a package: the copyright file, a compressed
# changelog made from the version, a compressed manual page; and the licence
# texts the copyright file names.
set(SFP_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tn6820fp)
set(SFP_SOFTWARE_VERSION 4.3.2.12522)
string(TIMESTAMP SFP_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
find_program(SFP_GZIP gzip REQUIRED)
foreach(doc changelog tn6820fp.1)
    if(doc STREQUAL changelog)
        set(source ${CMAKE_BINARY_DIR}/packaging/changelog)
    else()
        set(source ${PROJECT_SOURCE_DIR}/packaging/${doc})
    endif()
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${doc}.gz
                       COMMAND ${SFP_GZIP} -9n -c ${source} > ${CMAKE_BINARY_DIR}/packaging/${doc}.gz
                       DEPENDS ${source} VERBATIM)
    list(APPEND SFP_PACKAGING_DOCS ${CMAKE_BINARY_DIR}/packaging/${doc}.gz)
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${SFP_PACKAGING_DOCS})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${SFP_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/tn6820fp.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/qt5-lgpl-license.txt
              ${PROJECT_SOURCE_DIR}/resources/qt-lgpl-license.txt
              ${PROJECT_SOURCE_DIR}/resources/qwt-lgpl-license.txt
              ${PROJECT_SOURCE_DIR}/resources/kiss-fft-bsd-license.txt
        DESTINATION ${SFP_DOCDIR}/licenses)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tn6820fp)
set(CPACK_PACKAGE_VENDOR "Morvix")
set(CPACK_PACKAGE_CONTACT "Morvix support <support@morvix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Soft front panel of the Orbana 6820 DAC function card")
set(CPACK_PACKAGE_DESCRIPTION
    "The soft front panel of the Orbana 6820, an 8-channel, 200 kS/s analog-output
function card in a VXI or LXI carrier. It finds the card by searching every
carrier that VISA reaches, by a typed address that it remembers, or runs in
demo mode without hardware; it then generates sine, square, saw and triangle
waveforms on any of the eight channels, writes constant voltages, resets the
card and shows its revisions and hardware data.
.
The package ships simulated platform libraries (VISA and the card maker's
driver and common library) in /usr/lib/tn6820fp; the real libraries can be
put in their place without rebuilding anything.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
if(SFP_QT_MAJOR EQUAL 6)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, libqt6concurrent6, libsndfile1, libmuparser2v5, libc6, libstdc++6")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5widgets5, libqt5gui5, libqt5core5a, libqt5concurrent5, libsndfile1, libmuparser2v5, libc6, libstdc++6")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt5-style-plugins")
endif()
include(CPack)
