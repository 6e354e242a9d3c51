# Installation and the Debian package. The installed layout:
#   bin/morvantis
#   share/morvantis/           skins, spoken words, alarm.wav and docs/skins.html
#                              (the program looks there when its own folder holds no skins)
#   share/applications, share/metainfo, share/icons/hicolor
include(GNUInstallDirs)

set(MORVANTIS_APP_ID "org.morvantis.Morvantis")
set(MORVANTIS_WEB "https://morvantis.example.org" CACHE STRING
    "The project's web address; the store screenshots are <address>/previews/<skin>.png")
set(MORVANTIS_CONTACT "Morvantis developers <morvantis@example.org>" CACHE STRING
    "Maintainer of the Debian package")
set(morvantis_share "${CMAKE_INSTALL_DATADIR}/morvantis")

install(TARGETS morvantis RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The wave player module, loaded on the first sound from beside the program or from
# <exe>/../lib/morvantis (a fixed name: the program does not know the multiarch folder).
install(TARGETS morvantis_player LIBRARY DESTINATION lib/morvantis)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${morvantis_share})
install(FILES ${PROJECT_SOURCE_DIR}/docs/skins.html DESTINATION ${morvantis_share}/docs)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# One screenshot per skin preview, the default skin first.
file(GLOB morvantis_previews RELATIVE ${PROJECT_SOURCE_DIR}/docs/previews ${PROJECT_SOURCE_DIR}/docs/previews/*.png)
list(SORT morvantis_previews)
list(FIND morvantis_previews "DigitalAge.png" morvantis_default_preview)
if(morvantis_default_preview GREATER 0)
  list(REMOVE_ITEM morvantis_previews "DigitalAge.png")
  list(PREPEND morvantis_previews "DigitalAge.png")
endif()
set(MORVANTIS_SCREENSHOTS "")
set(morvantis_screenshot_type "default")
foreach(preview IN LISTS morvantis_previews)
  get_filename_component(caption ${preview} NAME_WE)
  string(REGEX REPLACE "([a-z])([A-Z])" "\\1 \\2" caption "${caption}")
  string(APPEND MORVANTIS_SCREENSHOTS
    "    <screenshot type=\"${morvantis_screenshot_type}\">\n"
    "      <caption>The ${caption} skin</caption>\n"
    "      <image>${MORVANTIS_WEB}/previews/${preview}</image>\n"
    "    </screenshot>\n")
  set(morvantis_screenshot_type "extra")
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/dist/morvantis.desktop.in
               ${PROJECT_BINARY_DIR}/dist/${MORVANTIS_APP_ID}.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/dist/morvantis.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/dist/${MORVANTIS_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/dist/${MORVANTIS_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/dist/${MORVANTIS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/img/icon${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${MORVANTIS_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/img/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MORVANTIS_APP_ID}.svg)

# cpack -G DEB: the dependencies come from the libraries actually linked (dpkg-shlibdeps).
# On Debian the X11 platform plugin and the GIF reader that Qt loads at run time ship in
# libqt6gui6 itself, so nothing needs naming by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvantis)
set(CPACK_PACKAGE_VENDOR "The Morvantis developers")
set(CPACK_PACKAGE_CONTACT "${MORVANTIS_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop clock drawn like a liquid-crystal display")
set(CPACK_PACKAGE_DESCRIPTION
    "A borderless desktop clock drawn from interchangeable skins, with the date, an alarm, an hourly chime and the spoken time.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${MORVANTIS_WEB}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
