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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tn6820fp)
set(CPACK_PACKAGE_VENDOR "Morvix")
set(CPACK_PACKAGE_CONTACT "Morvix support <support@morvix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Soft front panel of the Orbana 6820 DAC function card")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
if(SFP_QT_MAJOR EQUAL 6)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, libqt6concurrent6, libc6, libstdc++6")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5widgets5, libqt5gui5, libqt5core5a, libqt5concurrent5, libc6, libstdc++6")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt5-style-plugins")
endif()
include(CPack)
