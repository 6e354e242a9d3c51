target_sources(morvantis_core PRIVATE
  settings/AlarmRecord.cpp
  settings/OptionsRules.cpp
  settings/SettingsFormat.cpp
)
target_sources(morvantis_ui PRIVATE
  settings/ClockState.cpp
  settings/frmOptions.cpp
)
