target_sources(morvantis_core PRIVATE
  sound/SoundRules.cpp
  sound/SpokenTime.cpp
)
