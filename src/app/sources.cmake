target_sources(morvantis_ui PRIVATE
  app/Autostart.cpp
  app/FaceAccessible.cpp
  app/FacePainter.cpp
  app/frmMain.cpp
  app/frmSplash.cpp
  app/Resources.cpp
  app/StartUp.cpp
)
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
  target_sources(morvantis_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
  target_compile_definitions(morvantis_ui PRIVATE MORVANTIS_HAVE_RESOURCES)
endif()
