# cpack -G DEB: skarvel_<version>_amd64.deb from the install rules of cmake/Install.cmake,
# laid out under /usr. Depends comes from the binaries (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Skarvel developers")
set(CPACK_PACKAGE_CONTACT "The Skarvel developers <${SKARVEL_PACKAGE_ADDRESS}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${SKARVEL_HOME_PAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the ships and game values of Freelancer")
# The control file's extended description; CPack indents it and marks the empty line.
set(CPACK_PACKAGE_DESCRIPTION "Skarvel edits the data files of the space game Freelancer. It finds the
game in its Wine prefix, turns the compressed data files into text with its
own converter bini, and shows one ship at a time in named fields: hit
points, shields, cargo, power plant, engine, afterburner, tractor beam,
camera and handling values, hull price and hardpoint levels.

Every value is written back into the game's files in place, and a copy of
the changed files is kept for another installation.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The game itself runs in Wine; the editor only reads its files.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)

include(CPack)
