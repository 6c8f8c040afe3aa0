# What `cmake --install` adds besides the programs, and the Debian package that
# `cpack -G DEB` makes of it. scripts/check-package.sh checks the package.
include(GNUInstallDirs)
set(_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(_gen ${PROJECT_BINARY_DIR}/packaging)
set(_doc ${CMAKE_INSTALL_DOCDIR})
set(ORVO_APP_ID com.example.orvo)

if(ORVO_BUILD_UI)
  install(FILES ${_pkg}/${ORVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Debian wants the licence as a machine-readable copyright file: the holders
# and the LICENSE text below a header, each line indented, empty lines " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE _license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${_license}")
set(COPYRIGHT_HOLDERS "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n$" "" LICENSE_TEXT "${_license}")
string(REPLACE "\n\n" "\n.\n" LICENSE_TEXT "${LICENSE_TEXT}")
string(REPLACE "\n" "\n " LICENSE_TEXT " ${LICENSE_TEXT}")
configure_file(${_pkg}/copyright.in ${_gen}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${_gen}/copyright DESTINATION ${_doc})

# Debian also wants the changelog and the manual pages compressed, without a
# time stamp in the gzip header so that builds stay reproducible. Every
# tools/<name>/<name>.1 and packaging/*.1 is a manual page of the package.
file(GLOB _manpages CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tools/*/*.1 ${_pkg}/*.1)
set(_compressed)
foreach(_file IN LISTS _manpages ITEMS ${_pkg}/changelog)
  get_filename_component(_name ${_file} NAME)
  set(_out ${_gen}/${_name}.gz)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E copy ${_file} ${_gen}/${_name}
    COMMAND gzip -9 -n -f ${_gen}/${_name}
    DEPENDS ${_file} VERBATIM)
  list(APPEND _compressed ${_out})
  if(_name MATCHES "\\.1$")
    install(FILES ${_out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${_out} DESTINATION ${_doc})
  endif()
endforeach()
add_custom_target(orvo_package_docs ALL DEPENDS ${_compressed})

set(CPACK_PACKAGE_NAME orvo)
set(CPACK_PACKAGE_VENDOR "oRVO")
set(CPACK_PACKAGE_CONTACT "oRVO developers <orvo@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "companion program of the oRVO-V.264o4 TFT car video recorder")
set(CPACK_PACKAGE_DESCRIPTION
  "Lists the recordings on the recorder's memory card and converts them into\n\
ordinary MP4 files (joined without gaps, split by size, named by a mask, with\n\
the GPS track copied beside them). It also edits the recorder's settings,\n\
prepares and formats cards, moves firmware files and deletes recordings.\n\
orvo-convert converts from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the programs use (Qt; libexpat1, which
# reads the GPS tracks); what they load or start at run time is declared
# here: the window system plugins, Qt's own translations, xdg-open for
# opening the output folder, UDisks2 for formatting cards (the rest of
# the program works without it), and the GStreamer plugins the player's
# backend plays MP4, H.264 and AAC with (qtdemux in -good, the decoders in
# -libav). libssl3 holds libcrypto, which computes the
# SHA-256 digests of evidence packages; it is named here too because the
# linker keeps a library only in a program that calls it, and until one
# does dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libssl3")
if(ORVO_BUILD_UI)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins, qt6-translations-l10n, xdg-utils"
         ", gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udisks2")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
include(CPack)
