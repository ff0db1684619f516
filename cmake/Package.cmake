# The Debian package: `cpack -G DEB` in a build configured by
# scripts/build-deb.sh (prefix /usr, packaging flags). Dependencies on
# shared libraries are computed from the binaries by dpkg-shlibdeps.
set(KIVORA_MAINTAINER "The Kivora developers <kivora@pobogom.net>")

# What Debian asks of every package's documentation folder.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/debian
  COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${KIVORA_GZIP} ${PROJECT_SOURCE_DIR}/data/debian/changelog
          ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog VERBATIM)
add_custom_target(kivora_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES data/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kivora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KIVORA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KIVORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KIVORA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found through the binaries: the Japanese fonts the window asks for by name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "robot-programming battle game")
# The synopsis comes from the summary; CPack indents these lines and turns
# the empty one into the paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kivora Virtual System by Pobogom: buy robot units, give each one a program
written in a small command language and watch them fight on their own
against the units of the rival Pobogom, around a small economy of parts,
loans and a slot machine.

The package holds the game, the program checker kivora-check, the
windowless battle runner kivora-arena, the tournament runner
kivora-tournament, the replay viewer kivora-viewer and the default
arena. Each player
gets an arena of their own in ~/.local/share/kivora/arena.")
include(CPack)
