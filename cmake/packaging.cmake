# Installing like a Linux program: the programs into bin (each folder installs its own),
# the desktop entry and the icon in the freedesktop places; and a Debian package of it.
install(FILES ${CMAKE_SOURCE_DIR}/resources/soundmodule.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME soundmodule)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnholt Industries")
set(CPACK_PACKAGE_CONTACT "Varnholt Industries <soundmodule@varnholt.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Sound Module of the flight game, with a Console Client simulator and sound-pack tools")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The build keeps debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
# Shared libraries are found by dpkg-shlibdeps; the speaker is a program make-sound-pack
# runs, so no library would name it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng")
include(CPack)
