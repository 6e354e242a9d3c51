# The process: start-up, one clock per user, the ending signals, the platform choice.
target_sources(morvantis_ui PRIVATE
  app/frmSplash.cpp
  app/PlatformChoice.cpp
  app/Resources.cpp
  app/SingleInstance.cpp
  app/StartUp.cpp
)
target_sources(morvantis_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources/resources.qrc)
