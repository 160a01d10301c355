# `cpack -G DEB` in the build folder makes veltrane_VERSION_ARCH.deb from what `cmake --install`
# puts under /usr. Dependencies come from the programs' own libraries (dpkg-shlibdeps).
# VELTRANE_PACKAGE_MAINTAINER is set beside the changelog (assets/package), which names it too.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VELTRANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ID3v1 tag editor for MP3 collections")
# Lines of at most 79 characters: Debian shows them as they stand.
set(CPACK_PACKAGE_DESCRIPTION
    "Veltrane lists the MP3 files of a folder, optionally with every folder
below it, with the ID3v1 tag of each file: title, artist, album, year, genre
and comment. It edits the tag of one file or sets chosen fields in many files
at once, fills tags in from file names and renames files from their tags by a
pattern of your own, selects files by text or genre, deletes to the trash,
plays files in your usual player and builds M3U playlists. Every change can
be undone.

veltrane-cli offers the same from a terminal and in scripts.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a Qt platform plugin, which no library dependency names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own texts (Yes, No, the edit menus) in the user's language beside Veltrane's catalogues.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
