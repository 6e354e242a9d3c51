target_sources(morvantis_core PRIVATE
  alarm/AlarmRules.cpp
)
