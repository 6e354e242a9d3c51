target_sources(morvantis_core PRIVATE
  settings/SettingsFormat.cpp
)
target_sources(morvantis_ui PRIVATE
  settings/QtSettingsStore.cpp
)
