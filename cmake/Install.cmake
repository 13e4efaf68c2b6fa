# What `cmake --install` puts where, in the GNU layout, and the Debian package CPack builds from
# it (scripts/package.sh). The programs, launcher entry, icons, AppStream data, manual pages,
# documents and firewall profile go in; the documentation tool, tests and benchmarks stay out.
include(GNUInstallDirs)
# Installing (and so CPack) needs the installed targets only, not the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The day the version in project() was released; the metainfo, the manual pages and the package
# changelog carry both.
set(VELORA_RELEASE_DATE 2026-12-07)
execute_process(COMMAND date -u -R -d "${VELORA_RELEASE_DATE}"
                OUTPUT_VARIABLE VELORA_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

find_program(VELORA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VELORA_GZIP gzip REQUIRED)

set(VELORA_PACKAGING ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(VELORA_STAGED ${CMAKE_CURRENT_BINARY_DIR}/packaging)
set(VELORA_ICONS ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
set(VELORA_DOCS ${CMAKE_INSTALL_DATADIR}/doc/velora)
set(VELORA_GENERATED_FILES)

# The application icon as PNG in the sizes launchers and icon themes look for.
foreach(size 16 22 24 32 48 64 128 256 512)
  set(png ${VELORA_STAGED}/icons/${size}/velora.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELORA_STAGED}/icons/${size}
    COMMAND ${VELORA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
            ${VELORA_PACKAGING}/icons/velora.svg
    DEPENDS ${VELORA_PACKAGING}/icons/velora.svg
    VERBATIM)
  list(APPEND VELORA_GENERATED_FILES ${png})
  install(FILES ${png} DESTINATION ${VELORA_ICONS}/${size}x${size}/apps)
endforeach()

# Manual pages and the changelog carry the version and date, and are compressed as Debian
# requires (-n keeps the time out of the archive, so rebuilds are identical).
foreach(page velora.1 velora-remote.1)
  configure_file(${VELORA_PACKAGING}/man/${page} ${VELORA_STAGED}/man/${page} @ONLY)
endforeach()
configure_file(${VELORA_PACKAGING}/changelog.in ${VELORA_STAGED}/changelog @ONLY)
configure_file(${VELORA_PACKAGING}/com.quorin.velora.metainfo.xml.in
               ${VELORA_STAGED}/com.quorin.velora.metainfo.xml @ONLY)
foreach(file man/velora.1 man/velora-remote.1 changelog)
  add_custom_command(
    OUTPUT ${VELORA_STAGED}/${file}.gz
    COMMAND ${VELORA_GZIP} -9nkf ${VELORA_STAGED}/${file}
    DEPENDS ${VELORA_STAGED}/${file}
    VERBATIM)
  list(APPEND VELORA_GENERATED_FILES ${VELORA_STAGED}/${file}.gz)
endforeach()
add_custom_target(velora_install_files ALL DEPENDS ${VELORA_GENERATED_FILES})

install(TARGETS velora velora-remote RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VELORA_PACKAGING}/velora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELORA_PACKAGING}/icons/velora.svg DESTINATION ${VELORA_ICONS}/scalable/apps)
# The tray's own icons, for icon themes that restyle them.
install(FILES src/app/icons/pointer.svg DESTINATION ${VELORA_ICONS}/scalable/status
        RENAME velora-pointer.svg)
install(FILES src/app/icons/eye.svg DESTINATION ${VELORA_ICONS}/scalable/status
        RENAME velora-eye.svg)
install(FILES ${VELORA_STAGED}/com.quorin.velora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VELORA_STAGED}/man/velora.1.gz ${VELORA_STAGED}/man/velora-remote.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md ${VELORA_PACKAGING}/copyright ${VELORA_STAGED}/changelog.gz
        DESTINATION ${VELORA_DOCS})
# ufw reads profiles from /etc only, whatever the prefix; stage with DESTDIR.
install(FILES ${VELORA_PACKAGING}/ufw/velora DESTINATION /etc/ufw/applications.d)

# The Debian package. Its dependencies come from the binaries (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velora developers")
set(CPACK_PACKAGE_CONTACT "The Velora developers <developers@velora-remote.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control this computer from a phone on the local network")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velora turns a phone on the same local network into a remote control for
this computer: pointer, clicks and scrolling, keys and typed text, media
keys, lock, sleep, log out, restart and shut down, and a live view of the
main display. A phone pairs once, with a PIN or an Allow button.
.
Velora lives in the system tray (X11), or in the terminal with --console.
The package also holds velora-remote, a command-line client that does what
a phone does, and a ufw profile for the two ports Velora listens on.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velora-remote.app/velora/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tray's SVG icons are drawn by Qt's SVG plugins, which are loaded at run time and so are
# invisible to dpkg-shlibdeps; their package is the one dependency named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
# The tray in a Wayland session without Xwayland needs Qt's Wayland platform plugin, also loaded at
# run time.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# A file in /etc is the administrator's to edit; dpkg keeps such changes across upgrades.
file(WRITE ${VELORA_STAGED}/conffiles "/etc/ufw/applications.d/velora\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VELORA_STAGED}/conffiles)
include(CPack)
