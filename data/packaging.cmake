# Installing and packaging: the three programs, the desktop entry, the icon, the MIME
# types of the tool's files and the manual page, in their FHS places; CPack builds a .deb
# (cpack -G DEB in the build folder).
include(GNUInstallDirs)

set(tripconf_data ${CMAKE_CURRENT_LIST_DIR})
set(tripconf_programs tripconf tripconf-cli)
if(TARGET tripsim)
  list(APPEND tripconf_programs tripsim)
endif()
install(TARGETS ${tripconf_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${tripconf_data}/tripconf.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tripconf_data}/tripconf-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME tripconf.xml)
install(FILES ${tripconf_data}/icons/tripconf.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${tripconf_data}/icons/tripconf-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tripconf.png)
endforeach()
file(GLOB tripconf_man_pages ${tripconf_data}/man/*.1)
install(FILES ${tripconf_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tripconf)
set(CPACK_PACKAGE_VENDOR "tripconf")
set(CPACK_PACKAGE_CONTACT "tripconf developers <tripconf@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Trip computer settings over a serial cable")
set(CPACK_PACKAGE_DESCRIPTION
    "tripconf reads a vehicle trip computer's configuration memory over a serial cable, edits every setting in a bilingual (Russian/English) editor with screen previews, shows and exports the trip, refuelling and fault journals, saves and loads settings files and writes the settings back. tripconf-cli does the same from the command line; tripsim simulates a trip computer on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its platform plugins at run time: no library dependency shows them. Qt
# Charts draws the journal charts (the viewer and tripconf-cli journals --chart).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6charts6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
