target_sources(morvantis_core PRIVATE
  alarm/AlarmRules.cpp
)
target_sources(morvantis_core PRIVATE alarm/MusicRules.cpp)
target_sources(morvantis_ui PRIVATE alarm/frmMusic.cpp)
target_sources(morvantis_core PRIVATE
  alarm/AlarmDue.cpp
  alarm/AlarmMoment.cpp
)
target_sources(morvantis_ui PRIVATE
  alarm/frmCustom.cpp
)
