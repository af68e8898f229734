# The Debian package: `cpack -G DEB` in the build directory makes
# zonesmith_<version>_<arch>.deb of what `cmake --install` installs (the
# editor, the command-line tool, the desktop entry and the icon), under /usr.
# Only configured here; nothing is packaged unless cpack is run.
set(CPACK_PACKAGE_NAME zonesmith)
set(CPACK_PACKAGE_VENDOR "Zonesmith")
set(CPACK_PACKAGE_CONTACT "Zonesmith developers <zonesmith@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "area editor for CircleMUD-family MUDs")
set(CPACK_PACKAGE_DESCRIPTION
    "Zonesmith edits the area files of a CircleMUD-family MUD away from the game: rooms with their exits and descriptions on a grid map, reset commands, and object and mobile prototypes. zonesmith-cli converts, checks, renumbers, lists and generates area files without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/zonesmith")
# The libraries the programs link (Qt 6, zlib, the C++ runtime) are found by
# dpkg-shlibdeps (package dpkg-dev); Qt's platform plugins are loaded at run
# time, so no link names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(ZS_BUILD_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
endif()
include(CPack)
