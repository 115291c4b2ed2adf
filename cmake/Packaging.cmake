# What an installation holds, and the Debian package made of it
# (scripts/package): the program and its tools, the desktop entry and icon,
# the manual, and the scripts that make the group rezydo and its folders.

include(GNUInstallDirs)

# Installing and packaging take what is built and never build "all" first:
# the package is made from the tree a CI build left, and a tree configured
# with the tests builds them only when asked.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS rezydo rezydo-newdb rezydo-migrate rezydo-workstation rezydo-install-settings
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES packaging/rezydo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES app/icons/rezydo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES app/icons/rezydo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME rezydo.png)
endforeach()

# The manual with the screenshots it shows, in the same layout as docs/, so
# that its relative links work in the source tree and installed alike. The
# program finds it at ../share/rezydo/podrecznik beside its bin folder, so the
# build tree gets a copy too.
set(REZYDO_MANUAL_DIR ${CMAKE_INSTALL_DATADIR}/rezydo)
install(DIRECTORY docs/podrecznik docs/screenshots DESTINATION ${REZYDO_MANUAL_DIR})
add_custom_target(rezydo-manual
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/podrecznik
            ${CMAKE_BINARY_DIR}/share/rezydo/podrecznik
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/screenshots
            ${CMAKE_BINARY_DIR}/share/rezydo/screenshots
    COMMENT "Copying the manual beside the program")
add_dependencies(rezydo rezydo-manual)

# Debian wants the manual pages and the package's change log compressed
# without time stamps, so that the package builds the same each time.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
foreach(page rezydo rezydo-newdb rezydo-migrate rezydo-workstation rezydo-install-settings)
    set(out ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/packaging/man/${page}.1 > ${out}
        DEPENDS packaging/man/${page}.1 VERBATIM)
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND compressed ${out})
endforeach()
# A native package (its version has no Debian revision): changelog.gz.
configure_file(packaging/debian/changelog ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_BINARY_DIR}/packaging/changelog > ${changelog}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
list(APPEND compressed ${changelog})
add_custom_target(rezydo-package-files DEPENDS ${compressed})
add_dependencies(rezydo rezydo-package-files)
install(FILES ${changelog} packaging/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rezydo)
install(FILES packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME rezydo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rezydo)
set(CPACK_PACKAGE_VENDOR "Zespół Rezydo")
set(CPACK_PACKAGE_CONTACT "Zespół Rezydo <pomoc@rezydo.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front desk of a small hotel or guest house (Polish)")
set(CPACK_PACKAGE_DESCRIPTION
    "Rezydo keeps the reservations of rooms and beds, checks groups in and out,\n\
keeps the statutory guest register, prices each stay from the price list\n\
with VAT and discounts, records payments, issues VAT invoices and prints\n\
the lists and statistics of a small hotel. Its user interface is Polish.\n\
.\n\
The package makes the group rezydo and the folders /var/lib/rezydo/Baza and\n\
/var/lib/rezydo/Archiwum for the database and its backups; an account in\n\
that group can use the program.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads as
# plugins (the SQLite driver, the window system) has to be named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, passwd")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core, xdg-utils, postgresql-client")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
