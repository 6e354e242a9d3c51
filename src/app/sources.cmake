target_sources(morvantis_ui PRIVATE
  app/AlarmFiring.cpp
  app/Autostart.cpp
  app/ClockDialogs.cpp
  app/EndSignals.cpp
  app/FaceAccessible.cpp
  app/FaceInput.cpp
  app/FacePainter.cpp
  app/frmMain.cpp
  app/frmSplash.cpp
  app/WindowPlacement.cpp
  app/Resources.cpp
  app/SingleInstance.cpp
  app/SkinSwitch.cpp
  app/StartUp.cpp
)
target_sources(morvantis_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
# One clock per settings store: a local socket, Qt's own where there are no Unix sockets.
if(NOT UNIX)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Network)
  target_link_libraries(morvantis_ui PUBLIC Qt6::Network)
endif()
