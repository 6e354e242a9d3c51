target_sources(morvantis_ui PRIVATE
  info/URLLink.cpp
  info/frmAbout.cpp
)
