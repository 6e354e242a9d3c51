# The main tick's plan: a rule, without Qt.
target_sources(morvantis_core PRIVATE app/TickPlan.cpp)
target_sources(morvantis_ui PRIVATE
  app/AlarmFiring.cpp
  app/Autostart.cpp
  app/ClockDialogs.cpp
  app/ClockEnd.h
  app/EndSignals.cpp
  app/FaceAccessible.cpp
  app/WidgetAccessible.cpp
  app/FaceInput.cpp
  app/FacePainter.cpp
  app/frmMain.cpp
  app/frmSplash.cpp
  app/PlatformChoice.cpp
  app/WindowPlacement.cpp
  app/Resources.cpp
  app/SingleInstance.cpp
  app/SkinSwitch.cpp
  app/StartUp.cpp
)
target_sources(morvantis_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
# What differs between the systems: one clock per settings store (a Unix socket; a named pipe
# through Qt's local server), and the entry that starts the clock with the session (an XDG
# autostart file; the user's Run key).
if(WIN32)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Network)
  target_link_libraries(morvantis_ui PUBLIC Qt6::Network)
  target_sources(morvantis_ui PRIVATE app/windows/SingleInstancePipe.cpp app/windows/AutostartEntry.cpp)
else()
  target_sources(morvantis_ui PRIVATE app/linux/SingleInstanceSocket.cpp app/linux/AutostartEntry.cpp)
endif()
# Before the application object: a look at the Wayland outputs' scale and whether an X server answers.
if(UNIX AND NOT APPLE)
  pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  target_link_libraries(morvantis_ui PRIVATE PkgConfig::WAYLAND_CLIENT PkgConfig::XCB)
  set_source_files_properties(app/PlatformChoice.cpp PROPERTIES COMPILE_DEFINITIONS MORVANTIS_WITH_WAYLAND)
endif()
