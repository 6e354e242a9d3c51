# Installation and the Debian package. The installed layout:
#   bin/morvantis
#   share/morvantis/           skins, spoken words, alarm.wav and docs/skins.html
#                              (the program looks there when its own folder holds no skins)
#   lib/morvantis/            the wave player module
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1
#   share/doc/morvantis/       README.md, copyright, changelog.gz
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
# A stripped install (cpack, cmake --install --strip) also drops the compilers' .comment
# notes, as Debian's own packaging tools do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(f \"${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:morvantis>\"
              \"lib/morvantis/$<TARGET_FILE_NAME:morvantis_player>\")
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${f}\"
                      RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR \"objcopy failed on \${f}\")
      endif()
    endforeach()
  endif()")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${morvantis_share})
install(FILES ${PROJECT_SOURCE_DIR}/docs/skins.html DESTINATION ${morvantis_share}/docs)

# Documents: the README, the licence in Debian's machine-readable form, the changelog and
# the manual page; the last two compressed as Debian wants them (gzip -9n: no name, no time).
configure_file(${PROJECT_SOURCE_DIR}/dist/copyright.in ${PROJECT_BINARY_DIR}/dist/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/dist/changelog.in ${PROJECT_BINARY_DIR}/dist/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/dist/morvantis.1.in ${PROJECT_BINARY_DIR}/dist/morvantis.1 @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/dist/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(UNIX)
  find_program(MORVANTIS_GZIP gzip REQUIRED)
  foreach(doc changelog morvantis.1)
    execute_process(COMMAND ${MORVANTIS_GZIP} -9nc ${PROJECT_BINARY_DIR}/dist/${doc}
                    OUTPUT_FILE ${PROJECT_BINARY_DIR}/dist/${doc}.gz COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  install(FILES ${PROJECT_BINARY_DIR}/dist/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_BINARY_DIR}/dist/morvantis.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME morvantis)
endif()

# Uninstalling what the last cmake --install put in place (install_manifest.txt).
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
          -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
  COMMENT "Removing the installed files" VERBATIM)

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

# cpack -G DEB: the dependencies come from the libraries actually linked (dpkg-shlibdeps, run
# by cpack/DebDepends.cmake.in: CPack's own run would also add ldconfig calls because the
# player lies under /usr/lib, though it is a private module ldconfig has no business with).
# On Debian the X11 platform plugin and the GIF reader that Qt loads at run time ship in
# libqt6gui6 itself, so nothing needs naming by hand.
configure_file(${PROJECT_SOURCE_DIR}/cmake/DebDepends.cmake.in ${PROJECT_BINARY_DIR}/DebDepends.cmake.in @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/DebDepends.cmake INPUT ${PROJECT_BINARY_DIR}/DebDepends.cmake.in)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/DebDepends.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvantis)
set(CPACK_PACKAGE_VENDOR "The Morvantis developers")
set(CPACK_PACKAGE_CONTACT "${MORVANTIS_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop clock drawn like a liquid-crystal display")
# The long description: lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Morvantis is a borderless clock that stays on the desktop all day, drawn from\n"
    "interchangeable skin folders (four are included). It shows 12- or 24-hour\n"
    "time with seconds, the date and weekday, and blinking colons. Its alarm plays\n"
    "a sound and shakes the clock or shows a message with a snooze, an hourly\n"
    "chime can sound, and it speaks the time from recorded words. One clock runs\n"
    "per user, and it can start with the desktop session.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${MORVANTIS_WEB}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF) # see DebDepends.cmake.in
include(CPack)
