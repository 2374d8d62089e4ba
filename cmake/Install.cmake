# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` in the usual Linux layout, and the Debian package that
# `cpack -G DEB` makes from the same rules (scripts/package.sh).
include(GNUInstallDirs)

set(_data ${CMAKE_INSTALL_DATADIR}/lexidrill)
set(_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/lexidrill)
set(_packaging ${PROJECT_SOURCE_DIR}/packaging)

# The program looks for its files at this path from its own folder
# (src/core/datafolder.h).
file(RELATIVE_PATH _fromProgram ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/lexidrill)
if(NOT _fromProgram STREQUAL "../share/lexidrill")
    message(FATAL_ERROR "The program finds its files only in ../share/lexidrill from its own "
        "folder, not in ${_fromProgram}: keep CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR "
        "side by side under the prefix.")
endif()

# Each version has its release notes before it is built.
file(READ ${_packaging}/example.marrowfen.Lexidrill.metainfo.xml _metainfo)
file(STRINGS ${_packaging}/debian/changelog _changelogHead LIMIT_COUNT 1)
if(NOT _metainfo MATCHES "<release version=\"${PROJECT_VERSION}\""
   OR NOT _changelogHead MATCHES "^lexidrill \\(${PROJECT_VERSION}\\)")
    message(FATAL_ERROR "Version ${PROJECT_VERSION} has no release entry in "
        "packaging/example.marrowfen.Lexidrill.metainfo.xml or at the top of packaging/debian/changelog.")
endif()

install(TARGETS lexidrill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The speech helper is no command of its own; the program finds it there
# (src/audio/helperspeechengine.h).
install(TARGETS lexidrill-speech RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/lexidrill)
# The modules the program loads when it first needs them
# (src/core/programmodule.h).
install(TARGETS lexidrill-sound lexidrill-charts LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/lexidrill)

file(GLOB _samples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/Samples/*.txt ${PROJECT_SOURCE_DIR}/data/Samples/*.dic)
file(GLOB _sounds CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/Sounds/*.wav)
install(FILES ${_samples} DESTINATION ${_data}/Samples)
install(FILES ${_sounds} DESTINATION ${_data}/Sounds)
install(FILES ${PROJECT_SOURCE_DIR}/data/HAND-M.CUR DESTINATION ${_data} OPTIONAL)

install(FILES ${_packaging}/example.marrowfen.Lexidrill.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_packaging}/example.marrowfen.Lexidrill.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_packaging}/icons/lexidrill.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size 16 24 32 48 64 128 256)
    install(FILES ${_packaging}/icons/lexidrill-${_size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
        RENAME lexidrill.png)
endforeach()

# The manual page and the change log, compressed as Debian wants them:
# gzip -n keeps the name and time out, so the same sources give the same bytes.
set(_built ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(${_packaging}/lexidrill.1.in ${_built}/lexidrill.1 @ONLY)
add_custom_command(OUTPUT ${_built}/lexidrill.1.gz
    COMMAND gzip -9 -n -c ${_built}/lexidrill.1 > ${_built}/lexidrill.1.gz
    DEPENDS ${_built}/lexidrill.1)
add_custom_command(OUTPUT ${_built}/changelog.gz
    COMMAND gzip -9 -n -c ${_packaging}/debian/changelog > ${_built}/changelog.gz
    DEPENDS ${_packaging}/debian/changelog)
add_custom_target(lexidrill_compressed_docs ALL DEPENDS ${_built}/lexidrill.1.gz ${_built}/changelog.gz)
install(FILES ${_built}/lexidrill.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_built}/changelog.gz
              ${_packaging}/debian/copyright
              ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexidrill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Marrowfen)
set(CPACK_PACKAGE_CONTACT "Marrowfen <support@marrowfen.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spelling practice with spoken words")
set(CPACK_PACKAGE_DESCRIPTION [[
Lexidrill is a desktop spelling-practice program. A learner picks a word
list, hears each word spoken by the computer's text-to-speech voice, types
the spelling and is told at once whether it was right. The list loops, pass
after pass, until the learner ends the game; a results window then scores
the game and can save it as a column-aligned text table.

Word lists are plain text files with one word per line, in UTF-8, UTF-16 or
Windows-1252; two sample lists come with the program.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from the binary; what it loads at run time is named here:
# the speech daemon and its voices (flite's, the clearest for English, and
# espeak-ng's for every other language), Qt's speech and window-system plugins,
# GStreamer's decoders and PulseAudio output for the sounds, and the fonts
# that stand in for Arial.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "speech-dispatcher, speech-dispatcher-flite, flite, speech-dispatcher-espeak-ng, qt6-speech-speechd-plugin, qt6-qpa-plugins, libqt6sql6-sqlite, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-pulseaudio, fonts-liberation, libqt6charts6")
include(CPack)
