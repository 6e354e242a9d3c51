# What screen readers see of the clock.
target_sources(morvantis_ui PRIVATE
  access/FaceAccessible.cpp
  access/WidgetAccessible.cpp
)
