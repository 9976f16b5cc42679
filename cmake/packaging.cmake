# Installing like a Linux program: the programs into bin (each folder installs its own),
# the desktop entry, AppStream metainfo and the icon in the freedesktop places, a manual
# page per program and the Debian documents; and a Debian package of it.
install(FILES ${CMAKE_SOURCE_DIR}/resources/soundmodule.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/invalid.varnholt.soundmodule.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian's documents: the machine-readable copyright file and, as the package is native,
# the Debian changelog as changelog.gz (compressed as Debian does: gzip -9n, no name or
# time in the header).
set(soundmodule_doc_dir ${CMAKE_BINARY_DIR}/doc)
add_custom_command(OUTPUT ${soundmodule_doc_dir}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${soundmodule_doc_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/debian/changelog
    ${soundmodule_doc_dir}/changelog
  COMMAND gzip -9nf ${soundmodule_doc_dir}/changelog
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/debian/changelog
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${soundmodule_doc_dir}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${soundmodule_doc_dir}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A manual page per program, made at build time by help2man from the program's own
# --help, so that it follows every change of the help text; compressed like the changelog.
# NAME is the one line after the program's name in the page's NAME section (and in
# whatis/apropos). The pages are dated by the changelog's latest entry, as Debian's own
# builds do (SOURCE_DATE_EPOCH), so that a rebuild makes the same bytes. What a program
# prints on stderr for --help (a sanitizer's report, say) stays out of its page.
find_program(HELP2MAN_EXECUTABLE help2man)
if(NOT HELP2MAN_EXECUTABLE)
  message(WARNING "help2man not found: no manual pages are built or installed "
    "(scripts/setup.sh installs it)")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/debian/changelog)
execute_process(
  COMMAND dpkg-parsechangelog -l ${CMAKE_SOURCE_DIR}/resources/debian/changelog -S Timestamp
  OUTPUT_VARIABLE soundmodule_release_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT soundmodule_release_time MATCHES "^[0-9]+$")
  string(TIMESTAMP soundmodule_release_time "%s" UTC)
endif()
function(soundmodule_manual_page target name)
  if(NOT HELP2MAN_EXECUTABLE)
    return()
  endif()
  set(page ${CMAKE_BINARY_DIR}/man/man1/${target}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man/man1
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${soundmodule_release_time}
      ${HELP2MAN_EXECUTABLE} --no-info
      --version-string=${PROJECT_VERSION} --name=${name} --output=${page}
      $<TARGET_FILE:${target}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${target} ${CMAKE_SOURCE_DIR}/resources/debian/changelog
    COMMENT "Making the manual page of ${target} from its --help"
    VERBATIM)
  add_custom_target(${target}_manual_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
soundmodule_manual_page(soundmodule "sound module of a space and flight game")
soundmodule_manual_page(console-sim "stand-in for the flight game's Console Client")
soundmodule_manual_page(make-sound-pack "write a sound pack for the sound module")
soundmodule_manual_page(flight-picture "draw a picture of a sound module run")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME soundmodule)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnholt Industries")
set(CPACK_PACKAGE_CONTACT "Varnholt Industries <soundmodule@varnholt.invalid>")
# The synopsis (at most 80 characters) and the extended description; CPack indents the
# lines and turns the empty ones into " .". The closing newline keeps the last line's
# indent (CPack strips a last line that is not empty).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sound Module of a space flight game, with its test and sound-pack tools")
set(CPACK_PACKAGE_DESCRIPTION
"The Sound Module gives a multiplayer space and flight game its sound. It
runs beside the game's Console Client on the same machine, connects to it
over a local TCP link (127.0.0.1, port 2400) and plays looping, one-shot and
distance-delayed sounds from the WAVE files of its Sounds folder. Its window
is one small dialog with a status log, a test tone and check boxes for the
groups of sounds; it also runs headless, and can mix into a WAV file and
trace every sound it plays.

The package holds:
 - soundmodule, the module, with a desktop entry and an icon;
 - console-sim, a stand-in for the Console Client that plays a scenario of
   packets (a demo flight is built in);
 - make-sound-pack, which writes universe.dat and a Sounds folder with every
   file the module loads (its phrases are spoken by espeak-ng);
 - flight-picture, which draws a PNG of a recorded run;
 - a manual page for each of them.
")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The build keeps debug information; the package does not need it. The release preset
# (CMakePresets.json) compiles and links with Debian's hardening flags, which lintian checks.
set(CPACK_STRIP_FILES ON)
# Shared libraries are found by dpkg-shlibdeps; the speaker is a program make-sound-pack
# runs, so no library would name it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng")
include(CPack)
