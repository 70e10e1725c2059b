# Installs the game the Debian games way, under any prefix:
#   games/ampwarden, games/ampwarden-arena the game and its headless tournaments
#   share/games/ampwarden/                Data/ and the window icon, found from the program's place
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man6, share/doc/ampwarden

set(AW_APP_ID net.quillmoth.Ampwarden)
set(AW_HOMEPAGE "https://ampwarden.example.org" CACHE STRING "The game's home page (package and AppStream metadata)")
set(AW_MAINTAINER "The Ampwarden developers <maintainers@ampwarden.example.org>"
    CACHE STRING "Who maintains the package")
set(AW_DATA_DIR share/games/ampwarden)
set(AW_DOC_DIR share/doc/ampwarden)

install(TARGETS ampwarden ampwarden-arena RUNTIME DESTINATION games)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/Data/ DESTINATION ${AW_DATA_DIR}/Data PATTERN fonts EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/AWIcon.bmp DESTINATION ${AW_DATA_DIR})
# The font is not shipped: a link to the system's DejaVu package (a dependency of the package).
set(AW_FONT_LINK ${CMAKE_BINARY_DIR}/fontlink/DejaVuSans.ttf)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fontlink)
file(CREATE_LINK ${AW_FONT_SOURCE} ${AW_FONT_LINK} SYMBOLIC)
install(FILES ${AW_FONT_LINK} DESTINATION ${AW_DATA_DIR}/Data/fonts)

install(FILES ${CMAKE_SOURCE_DIR}/dist/${AW_APP_ID}.desktop DESTINATION share/applications)
foreach(size 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/ampwarden_${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ampwarden.png)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/dist/${AW_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${AW_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${AW_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Debian wants the manual page and the changelog compressed, without a time stamp.
configure_file(${CMAKE_SOURCE_DIR}/dist/changelog.in ${CMAKE_BINARY_DIR}/dist/changelog @ONLY)
foreach(name ampwarden.6 ampwarden-arena.6 changelog)
  if(name STREQUAL changelog)
    set(from ${CMAKE_BINARY_DIR}/dist/changelog)
  else()
    set(from ${CMAKE_SOURCE_DIR}/dist/${name})
  endif()
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/${name}.gz
                     COMMAND gzip -9n -c ${from} > ${CMAKE_BINARY_DIR}/dist/${name}.gz
                     DEPENDS ${from})
  list(APPEND AW_GZIPPED ${CMAKE_BINARY_DIR}/dist/${name}.gz)
endforeach()
add_custom_target(ampwarden_docs ALL DEPENDS ${AW_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/dist/ampwarden.6.gz ${CMAKE_BINARY_DIR}/dist/ampwarden-arena.6.gz
        DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/dist/copyright
              ${CMAKE_BINARY_DIR}/dist/changelog.gz
        DESTINATION ${AW_DOC_DIR})
# The manual beside the README, in a folder of the same name, so the README's links hold.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/doc/ DESTINATION ${AW_DOC_DIR}/doc FILES_MATCHING PATTERN "*.md")

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DAW_BUILD_DIR=${CMAKE_BINARY_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/Uninstall.cmake)
