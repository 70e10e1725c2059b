# `cpack -G DEB` (or ./package.sh) makes ampwarden_<version>_<arch>.deb from the install rules.
set(CPACK_PACKAGE_NAME ampwarden)
set(CPACK_PACKAGE_VERSION ${AW_VERSION})
set(CPACK_PACKAGE_CONTACT "${AW_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time strategy game of power networks and laser beams")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${AW_HOMEPAGE}")
# Libraries from what the program actually links (dpkg-shlibdeps), plus the font it links to and
# libgl1: SDL opens libGL.so.1 itself to make the window's GL context, which no linker records.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libgl1")
# CPack puts the summary first and indents these lines below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two sides each start from a main node and grow a power network across the
board: extenders carry the reach further, extractors on resource sites earn
energy, beam emitters fire lasers, shields block them and absorbers turn them
into blasts. Nodes cut off from their power source decay; the side whose main
node is destroyed loses. The computer plays at four levels, or both sides in
a self-running demo; ampwarden-arena plays seeded computer tournaments
headless, split over many machines if need be.")
include(CPack)
