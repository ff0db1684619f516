# `cmake --install`: the game, its command-line programs, the default arena
# as read-only shipped data, the desktop entry, the icons, the AppStream
# metadata and the man pages, where GNUInstallDirs and the freedesktop rules
# put them.
include(GNUInstallDirs)

# One name for the desktop entry, the AppStream component and the icon.
set(KIVORA_APP_ID "net.pobogom.Kivora")
# Where the metadata says the game lives on the web; the screenshot is
# published below it (data/screenshots/ holds the picture).
set(KIVORA_HOMEPAGE "https://kivora.pobogom.net/" CACHE STRING "The game's web page, named in the AppStream metadata")
set(KIVORA_RELEASE_DATE "2026-12-08")
set(KIVORA_ARENA_DIR "${CMAKE_INSTALL_DATADIR}/kivora/arena")
# Debian puts games in /usr/games (the package sets "games"); the
# command-line programs stay in bindir.
set(KIVORA_GAME_BINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING "Where the game itself is installed, relative to the prefix")
# How the desktop entry starts the game: by name from PATH, or (for the
# package, whose /usr/games is not on every session's PATH) by full path.
set(KIVORA_DESKTOP_EXEC "kivora" CACHE STRING "The Exec line of the desktop entry")
option(KIVORA_FIND_SOURCE_ARENA "Let the game fall back to this source tree's arena/ (off for packages)" ON)

# The programs installed into bindir: adding one is adding its name here.
set(KIVORA_INSTALLED_PROGRAMS kivora-check kivora-arena kivora-tournament)
# The battle viewer is a window: only with the game's window layer.
if(TARGET kivora-viewer)
  list(APPEND KIVORA_INSTALLED_PROGRAMS kivora-viewer)
endif()
install(TARGETS ${KIVORA_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET kivora)
  install(TARGETS kivora RUNTIME DESTINATION ${KIVORA_GAME_BINDIR})
  # The default arena is found beside the installed program first, so an
  # installation works under whatever prefix or staging folder it was put.
  file(RELATIVE_PATH arena_from_bindir "${CMAKE_INSTALL_PREFIX}/${KIVORA_GAME_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/kivora/arena")
  target_compile_definitions(kivora PRIVATE
    KIVORA_VERSION="${PROJECT_VERSION}"
    KIVORA_APP_ID="${KIVORA_APP_ID}"
    KIVORA_ARENA_FROM_BINDIR="${arena_from_bindir}"
    KIVORA_INSTALLED_ARENA="${CMAKE_INSTALL_FULL_DATADIR}/kivora/arena")
  if(KIVORA_FIND_SOURCE_ARENA)
    target_compile_definitions(kivora PRIVATE KIVORA_SOURCE_ARENA="${PROJECT_SOURCE_DIR}/arena")
  endif()
endif()

# Only the game's data files; the player's copy is made from these. They
# are read-only to players as everything installed by root is; the game
# itself never writes into its data folder.
install(DIRECTORY arena/ DESTINATION ${KIVORA_ARENA_DIR}
  FILES_MATCHING PATTERN "*.spc" PATTERN "*.prg" PATTERN "map.txt" PATTERN "buylist.txt" PATTERN "*.bmp")

configure_file(data/kivora.desktop.in ${PROJECT_BINARY_DIR}/data/${KIVORA_APP_ID}.desktop @ONLY)
configure_file(data/kivora.metainfo.xml.in ${PROJECT_BINARY_DIR}/data/${KIVORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/${KIVORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/data/${KIVORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Drawn by tools/kivora-art, committed as the other pictures are.
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES data/icons/kivora-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${KIVORA_APP_ID}.png)
endforeach()
# The manual, in both languages.
install(DIRECTORY docs/en docs/ja DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Man pages: man/NAME.SECTION.scd, turned into roff by scdoc and gzipped;
# a new page is a new file there.
find_program(KIVORA_SCDOC scdoc)
find_program(KIVORA_GZIP gzip REQUIRED)
file(GLOB KIVORA_MAN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.scd)
if(KIVORA_SCDOC)
  set(man_pages "")
  foreach(source ${KIVORA_MAN_SOURCES})
    get_filename_component(page ${source} NAME_WLE)            # kivora-arena.1
    string(REGEX REPLACE "^.*\\.([1-9])$" "\\1" section ${page})
    set(roff ${PROJECT_BINARY_DIR}/man/${page})
    add_custom_command(OUTPUT ${roff} ${roff}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND sh -c "\"$1\" < \"$2\" > \"$3\" && \"$4\" -9nc \"$3\" > \"$3.gz\"" sh
              ${KIVORA_SCDOC} ${source} ${roff} ${KIVORA_GZIP}
      DEPENDS ${source} VERBATIM)
    list(APPEND man_pages ${roff}.gz)
    install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  endforeach()
  add_custom_target(kivora_man ALL DEPENDS ${man_pages})
else()
  message(WARNING "scdoc not found (Debian package scdoc): the man pages are not built or installed")
endif()
