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
# Whoever publishes the package names themselves here.
set(TRIPCONF_MAINTAINER "tripconf developers <developers@tripconf.invalid>" CACHE STRING
    "The package's maintainer, \"Name <address>\"")

# Manual pages and the package's changelog go compressed, as Debian has them; the
# same gzip -9n every time, so the bytes do not depend on the build's time.
find_program(TRIPCONF_GZIP gzip REQUIRED)
set(tripconf_packed ${CMAKE_BINARY_DIR}/packed)
configure_file(${tripconf_data}/debian/changelog.in ${tripconf_packed}/changelog.Debian @ONLY)
set(tripconf_packed_files)
foreach(page tripconf tripconf-cli tripsim)
  add_custom_command(OUTPUT ${tripconf_packed}/${page}.1.gz
                     COMMAND ${TRIPCONF_GZIP} -9n -c ${tripconf_data}/man/${page}.1 > ${tripconf_packed}/${page}.1.gz
                     DEPENDS ${tripconf_data}/man/${page}.1 VERBATIM)
  list(APPEND tripconf_packed_files ${tripconf_packed}/${page}.1.gz)
endforeach()
add_custom_command(OUTPUT ${tripconf_packed}/changelog.Debian.gz
                   COMMAND ${TRIPCONF_GZIP} -9n -c ${tripconf_packed}/changelog.Debian > ${tripconf_packed}/changelog.Debian.gz
                   DEPENDS ${tripconf_packed}/changelog.Debian VERBATIM)
add_custom_target(tripconf_packed ALL DEPENDS ${tripconf_packed_files} ${tripconf_packed}/changelog.Debian.gz)
foreach(page tripconf tripconf-cli)
  install(FILES ${tripconf_packed}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(TARGET tripsim)
  install(FILES ${tripconf_packed}/tripsim.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${tripconf_packed}/changelog.Debian.gz ${tripconf_data}/debian/copyright
        ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${tripconf_data}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME tripconf)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tripconf)
set(CPACK_PACKAGE_VENDOR "tripconf")
set(CPACK_PACKAGE_CONTACT "${TRIPCONF_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRIPCONF_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Trip computer settings over a serial cable")
# Lines of at most 80 characters, as the package's control file wants them.
set(CPACK_PACKAGE_DESCRIPTION
    "tripconf reads a vehicle trip computer's configuration memory over a serial\ncable, edits every setting in a bilingual (Russian/English) editor with screen\npreviews, shows and exports the trip, refuelling and fault journals, saves and\nloads settings files and writes the settings back. tripconf-cli does the same\nfrom the command line; tripsim simulates a trip computer on a pseudo-terminal.")
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
