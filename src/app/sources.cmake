# The process: start-up, one clock per user, the ending signals, autostart, the platform choice.
target_sources(morvantis_ui PRIVATE
  app/Autostart.cpp
  app/EndSignals.cpp
  app/frmSplash.cpp
  app/PlatformChoice.cpp
  app/Resources.cpp
  app/SingleInstance.cpp
  app/StartUp.cpp
)
target_sources(morvantis_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
# One clock per settings store: a local socket, Qt's own where there are no Unix sockets.
if(NOT UNIX)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Network)
  target_link_libraries(morvantis_ui PUBLIC Qt6::Network)
endif()
# Before the application object: a look at the Wayland outputs' scale and whether an X server answers.
if(UNIX AND NOT APPLE)
  pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  target_link_libraries(morvantis_ui PRIVATE PkgConfig::WAYLAND_CLIENT PkgConfig::XCB)
  set_source_files_properties(app/PlatformChoice.cpp PROPERTIES COMPILE_DEFINITIONS MORVANTIS_WITH_WAYLAND)
endif()
