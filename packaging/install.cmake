# Installation and the Debian package: the program, its desktop entry and AppStream metainfo, its
# icons in the hicolor theme, the manual page, and the copyright and changelog files.
# Included from the top-level CMakeLists.txt; make install, make uninstall, make package.
include(GNUInstallDirs)

set(ZAHLENLUPE_APP_ID de.zahlenlupe.Zahlenlupe)
set(ZAHLENLUPE_MAINTAINER "Zahlenlupe-Team <team@zahlenlupe.de>")
# The day the version in project() was released; the changelog, the metainfo and the manual page
# carry it. Bump it together with the version.
set(ZAHLENLUPE_RELEASE_DATE 2026-12-08)
execute_process(COMMAND date -u -R -d "${ZAHLENLUPE_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE ZAHLENLUPE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

set(pkg ${CMAKE_CURRENT_LIST_DIR})
set(gen ${CMAKE_CURRENT_BINARY_DIR}/packaging)

# Icons: 16 and 32 pixels as the window draws them, the larger ones smooth, and the SVG.
set(ZAHLENLUPE_ICON_SIZES 16 32 48 64 128 256)
add_executable(makeicons ${pkg}/makeicons.cpp)
target_link_libraries(makeicons PRIVATE zahlenlupe_window)
set(icon_files)
foreach(size IN LISTS ZAHLENLUPE_ICON_SIZES)
  list(APPEND icon_files ${gen}/icons/${size}x${size}/${ZAHLENLUPE_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND makeicons ${gen}/icons ${ZAHLENLUPE_APP_ID} ${ZAHLENLUPE_ICON_SIZES}
  DEPENDS makeicons
  COMMENT "Drawing the icons")

# Manual page and changelog, with the project's version and release date, gzipped the Debian way
# (-n: no name or time stamp in the header, so that the same sources give the same bytes).
configure_file(${pkg}/zahlenlupe.1.in ${gen}/zahlenlupe.1 @ONLY)
configure_file(${pkg}/changelog.in ${gen}/changelog @ONLY)
configure_file(${pkg}/${ZAHLENLUPE_APP_ID}.metainfo.xml.in ${gen}/${ZAHLENLUPE_APP_ID}.metainfo.xml
               @ONLY)
add_custom_command(
  OUTPUT ${gen}/zahlenlupe.1.gz ${gen}/changelog.gz
  COMMAND gzip -9nkf zahlenlupe.1 changelog
  DEPENDS ${gen}/zahlenlupe.1 ${gen}/changelog
  WORKING_DIRECTORY ${gen}
  COMMENT "Compressing the manual page and the changelog")

# Everything installed besides the program.
add_custom_target(zahlenlupe_data ALL DEPENDS ${icon_files} ${gen}/zahlenlupe.1.gz
                                              ${gen}/changelog.gz)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS zahlenlupe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The window program, which zahlenlupe starts for everything but lists and counts.
install(TARGETS zahlenlupe-gui RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zahlenlupe)
# A stripped install (the package's) drops the compiler's notes too, as Debian's dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${CMAKE_INSTALL_BINDIR}/zahlenlupe
                    ${CMAKE_INSTALL_LIBEXECDIR}/zahlenlupe/zahlenlupe-gui)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
install(FILES ${pkg}/${ZAHLENLUPE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${gen}/${ZAHLENLUPE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS ZAHLENLUPE_ICON_SIZES)
  install(FILES ${gen}/icons/${size}x${size}/${ZAHLENLUPE_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${pkg}/${ZAHLENLUPE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${gen}/zahlenlupe.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pkg}/copyright ${gen}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zahlenlupe)

# make package: a Debian package built with CPack. dpkg-shlibdeps finds the libraries the program
# links; the packages it loads at run time are named by hand: the Qt platform plugins, the font the
# canvas draws its text with, and Qt's German translations.
set(CPACK_PACKAGE_NAME zahlenlupe)
set(CPACK_PACKAGE_VENDOR "Zahlenlupe-Team")
set(CPACK_PACKAGE_CONTACT "${ZAHLENLUPE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "explore Pythagorean triples and near triples")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
Zahlenlupe marks every pair of legs x, y in 1..100 for which x^2 + y^2 - d
is a perfect square, for a deviation d of your choice: with d = 0 the marks
are exactly the Pythagorean triples, any other d shows the near triples
x^2 + y^2 = z^2 + d. A quarter circle of adjustable radius, an analysis
segment and a live readout of the right triangle under the pointer help to
see the patterns.

The plot can be saved as PNG and the solutions as CSV or JSON, also from the
command line without a window. The user interface is German.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package takes the default component by name: CPack then writes its own install manifest and
# leaves install_manifest.txt, the record of make install that make uninstall reads, alone.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, qt6-translations-l10n")
# Qt's Wayland platform: without it a Wayland session runs the program through Xwayland, and one
# without Xwayland cannot start it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
