target_sources(morvantis_ui PRIVATE
  platform/QtFiles.cpp
  platform/QtPictures.cpp
  platform/QtPrompts.cpp
  platform/QtShell.cpp
)
