# The Windows layout, all in one folder that the installer copies as it is:
#   morvantis.exe, morvantis_player.dll, the Qt and compiler runtime DLLs
#   platforms/, imageformats/, styles/   the Qt plugins the clock loads
#   skins, spoken words, alarm.wav, docs/skins.html   (the program folder is the .exe's)
install(TARGETS morvantis RUNTIME DESTINATION .)
install(TARGETS morvantis_player LIBRARY DESTINATION . RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/skins.html DESTINATION docs)

find_package(Qt6 6.4 REQUIRED COMPONENTS Network) # found for the program in src/, out of sight here
foreach(module Core Gui Widgets Network)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QGifPlugin> $<TARGET_FILE:Qt6::QICOPlugin> DESTINATION imageformats)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
endif()
# The compiler's runtime, which the program and Qt link dynamically.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}")
    message(FATAL_ERROR "The compiler does not know ${dll}")
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()
